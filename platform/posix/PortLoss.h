#pragma once
// Whether a port can carry anything any more. serialInterface::read returns 0
// both for a quiet line and for a device that has gone (unplugged, hung up),
// which the program's receive poll need not tell apart; a monitor that runs
// until the device goes must.

class serialInterface;

namespace serial {

// True once the device behind the port has hung up or the port has failed.
// Bytes that arrived before that may still be waiting to be read.
bool portLost(const serialInterface& port);

}  // namespace serial
