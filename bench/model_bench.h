#pragma once

// ComputeResultTexts/item beside snprintf-texts/item (the six texts made the
// plain way) and six-to_chars/item (six to_chars calls on the item's figures
// computed beforehand), and ParseInputs+ComputeResultTexts/item, one kemcalc
// line's model work.
void RegisterModelBenchmarks();
