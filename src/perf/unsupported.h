#pragma once
// Controls users look for that Windows does not offer: fan control and
// overclocking. Nothing here touches hardware; the two records only say why.
#include <string>

#include "sources/reading.h"

namespace ovra {

Reading<bool> fanControlInfo();
// `processorName` as the processor record reports it; a Celeron, Pentium or Atom
// also gets the sentence about its factory-locked multiplier.
Reading<bool> overclockInfo(const std::wstring& processorName);

} // namespace ovra
