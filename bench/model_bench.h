#pragma once

// ComputeResultTexts/item beside snprintf-texts/item (the six texts made the
// plain way), and ParseInputs+ComputeResultTexts/item, one kemcalc line's model work.
void RegisterModelBenchmarks();
