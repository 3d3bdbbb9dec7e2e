// The MCI device types of wave sound with recording, MIDI and CD audio, added to an interpreter's table.
#pragma once

class CMciSystem;

// "waveaudio" (.wav; opened without a file it records), "sequencer" (.mid,
// .rmi) and "cdaudio", which has no drive here and fails at open.
void RegisterWaveMidiAndCdTypes(CMciSystem& mci);
