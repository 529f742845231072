// The firmware upload's floor: every pause the protocol requires, and one poll
// period wherever a reply is awaited after the packet's last pause (the erase
// reply arrives during its 100 ms pause and needs none).
#pragma once

inline double protocolFloorMs (int blocks)
{
    const double poll = 33, connect = 17 * 1 + poll, erase = 17 * 1 + 100, reset = 17 * 2 + poll;
    const double writes = blocks * (265 * 1 + poll);
    const double end = 800 + 600 + 300;
    return connect + erase + writes + reset + end;
}
