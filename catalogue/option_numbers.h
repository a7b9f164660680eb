// The numbers a run's options hold (months, percentages), read one way for
// every front end, by the figures' own rules: all of the text one finite
// number, blanks around it allowed.
#pragma once

#include <string_view>

bool ReadOptionNumber(std::string_view text, double& value);

// A percentage: the number, with "%" after it (demanded when `needsSign`,
// as in --adjust's CHANGE) or without.
bool ReadOptionPercent(std::string_view text, bool needsSign, double& percent);
