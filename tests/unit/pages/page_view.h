#pragma once
#include "app_fixture.h" // PageView
