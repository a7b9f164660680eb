// The model has two builds that give the same bits: the fast one (kemcalc,
// the catalogue view, the tests) and the small one (kem.exe and the
// browser's calculator, where every byte is copied or downloaded). The small
// one leaves out the speed-only paths. Which one a file belongs to is this
// named option, set for the whole library by model/CMakeLists.txt, never the
// optimiser's flags: every build the tests and fuzzers check is the one
// people run.
#pragma once

#ifndef KEM_MODEL_SMALL
#error "KEM_MODEL_SMALL comes from the build: 0 for the fast model, 1 for the small one"
#endif
