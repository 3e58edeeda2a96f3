#include "ui/chart_readout.h"

#include <cstdlib>

#include "sources/format.h"

namespace ovra {

namespace {

// The x of a sample as the chart plan places it.
int sampleX(const Sample& sample, uint64_t now, uint32_t minutes, const PlotArea& area) {
    const uint64_t window = uint64_t(minutes) * fileTimeTicksPerMinute;
    const uint64_t age = sample.time > now ? 0 : now - sample.time;
    return area.right - 1 - static_cast<int>(window ? age * uint64_t(area.width) / window : 0);
}

const wchar_t* seriesName(SampleField field) {
    if (field == &Sample::downloadRate) return L"Unduh";
    if (field == &Sample::uploadRate) return L"Unggah";
    if (field == &Sample::diskReadRate) return L"Baca";
    if (field == &Sample::diskWriteRate) return L"Tulis";
    if (field == &Sample::ramPercent) return L"RAM";
    if (field == &Sample::temperature) return L"Suhu";
    return L"CPU";
}

} // namespace

std::vector<TimeMark> chartTimeMarks(uint32_t minutes, const PlotArea& area) {
    const uint32_t step = minutes <= 5 ? 1 : minutes <= 15 ? 5 : 15;
    std::vector<TimeMark> marks;
    for (uint32_t back = step; back < minutes; back += step)
        marks.push_back(TimeMark{
            area.right - 1 - static_cast<int>(uint64_t(back) * uint64_t(area.width) / minutes),
            formatText(L"\u2212%u mnt", back)});
    return marks;
}

NearestSample nearestSample(const HistoryStore& history, SampleField first, SampleField second,
                            uint32_t minutes, uint64_t now, const PlotArea& area, int pointerX) {
    NearestSample nearest;
    int distance = 0;
    for (uint64_t i = 0; i < history.count; ++i) {
        const Sample& sample = historyAt(history, i);
        if (!inTimeWindow(sample, now, minutes) ||
            !((first && hasValue(sample.*first)) || (second && hasValue(sample.*second))))
            continue;
        const int x = sampleX(sample, now, minutes, area);
        if (nearest.index < 0 || std::abs(x - pointerX) <= distance) {
            nearest = NearestSample{static_cast<long long>(i), x};
            distance = std::abs(x - pointerX);
        }
    }
    return nearest;
}

std::wstring chartValueText(float value, ChartScale scale) {
    if (!hasValue(value)) return L"\u2014";
    switch (scale) {
    case ChartScale::percent: return formatPercent(value);
    case ChartScale::rate: return formatRate(value);
    default: return formatNumber(value, 1) + L" \u00B0C";
    }
}

std::wstring chartReadout(const Sample& sample, SampleField first, SampleField second,
                          ChartScale scale, const std::wstring& localTime) {
    std::wstring text = localTime;
    for (SampleField field : {first, second}) {
        if (!field) continue;
        text += L"\n";
        if (first && second) text += std::wstring(seriesName(field)) + L" ";
        text += chartValueText(sample.*field, scale);
    }
    return text;
}

} // namespace ovra
