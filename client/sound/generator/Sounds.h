#pragma once
// The table's sounds, each a finished buffer ready to be written.
#include "Synth.h"

namespace Sounds {

Synth::Samples BackgroundTune();   // music/majiang.wav, loops
Synth::Samples WarningTick();      // music/tishi.wav
Synth::Samples CardRaised();       // pk/sys020.wav
Synth::Samples CardLowered();      // pk/sys030.wav
Synth::Samples Hint();             // pk/sys110.wav
Synth::Samples Pass();             // pk/sys080.wav
Synth::Samples PlayShown();        // pk/sys070.wav
Synth::Samples RoundWon();         // pk/sys121.wav
Synth::Samples RoundLost();        // pk/sys150.wav
Synth::Samples CardDealt();        // voices/sys010.wav

// A spoken phrase from the speech synthesiser, trimmed of silence and levelled.
Synth::Samples Phrase(const Synth::Samples& spoken);

}  // namespace Sounds
