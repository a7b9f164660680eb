#pragma once

// ParseAmount/<set> beside strtod/<set> and from_chars/<set>;
// FormatFixed/<set> beside snprintf/<set> and to_chars/<set>.
void RegisterConversionBenchmarks();
