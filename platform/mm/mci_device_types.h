// The MCI device types of wave sound with recording, MIDI and CD audio, added to an interpreter's table.
#pragma once

class CMciSystem;

// "waveaudio" (.wav; opened without a file it records), "sequencer" (.mid,
// .rmi) and "cdaudio" (the disc the runtime's profile names, else the first
// drive; 266 at open when there is neither).
void RegisterWaveMidiAndCdTypes(CMciSystem& mci);
