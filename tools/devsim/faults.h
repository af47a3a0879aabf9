// Named fault modes of the simulated device. Counters say how many of the
// next replies are affected; each affected reply takes one off.
#pragma once

struct SimFaults
{
    bool silent = false;        // never answer (requests are still logged)
    int lostSlaveRow = -1;      // never answer the read of this slave-table row (-1: none)
    int dropNext = 0;           // swallow the next N replies (the request still takes effect)
    int delayMs = 0;            // hold every reply back by this long
    // serial only
    int truncateNext = 0;       // send only the first half of the next N replies
    int corruptCrcNext = 0;     // spoil the CRC of the next N replies
    int corruptMarkersNext = 0; // spoil the end marker of the next N replies
    int wrongFnNext = 0;        // answer the next N requests with a function code nobody asked for
    // UDP only
    int failNext = 0;           // answer the next N requests with status bits 00
    int wrongSeqNext = 0;       // echo a wrong sequence number in the next N replies
    int duplicateNext = 0;      // send each of the next N replies twice

    void clear() { *this = SimFaults{}; }

    // Takes one off a counter; true when the reply is affected.
    static bool take(int &counter)
    {
        if (counter <= 0)
            return false;
        --counter;
        return true;
    }
};
