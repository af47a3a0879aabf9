// Named fault modes of the simulated device. Counters say how many of the
// next replies are affected; each affected reply takes one off.
#pragma once

#include <QByteArray>

struct SimFaults
{
    bool silent = false;        // never answer (requests are still logged)
    int lostSlaveRow = -1;      // never answer the read of this slave-table row (-1: none)
    // Refuse every write of this slave-table row and keep the row as it was
    // (serial: a function code nobody asked for; UDP: status bits 00; -1: none).
    int refuseSlaveRow = -1;
    int dropNext = 0;           // swallow the next N replies (the request still takes effect)
    int delayMs = 0;            // hold every reply back by this long
    // serial only
    int truncateNext = 0;       // send only the first half of the next N replies
    int corruptCrcNext = 0;     // spoil the CRC of the next N replies
    int corruptMarkersNext = 0; // spoil the end marker of the next N replies
    int wrongFnNext = 0;        // answer the next N requests with a function code nobody asked for
    // answer the next request of code otherCodeOn with a sound frame of code
    // otherCode carrying otherPayload instead of its own reply (-1: none)
    int otherCodeOn = -1;
    quint8 otherCode = 0;
    QByteArray otherPayload;
    // UDP only
    int failNext = 0;           // answer the next N requests with status bits 00
    int wrongSeqNext = 0;       // echo a wrong sequence number in the next N replies
    int duplicateNext = 0;      // send each of the next N replies twice
    // firmware transfer: refuse one step and keep nothing of it (serial: a
    // function code nobody asked for; UDP: status bits 00)
    static constexpr int FLASH_START = -2, FLASH_SIZE = -1, NO_FLASH_STEP = -3;
    int refuseFlashStep = NO_FLASH_STEP; // FLASH_START, FLASH_SIZE or a block number from 0
    bool refuseWithOldSeq = false;       // UDP: that refusal echoes the sequence number before the request's

    void clear() { *this = SimFaults{}; }

    // Whether this step of a transfer is the one to refuse (once).
    bool takeFlashStep(int step)
    {
        if (step != refuseFlashStep)
            return false;
        refuseFlashStep = NO_FLASH_STEP;
        return true;
    }

    // Takes one off a counter; true when the reply is affected.
    static bool take(int &counter)
    {
        if (counter <= 0)
            return false;
        --counter;
        return true;
    }
};
