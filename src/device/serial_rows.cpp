#include "device/serial_rows.h"

#include "base/errorlog.h"
#include "base/numbers.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"

#include <QCheckBox>

using namespace serial;

void ReadData(Engine& engine, DeviceData& dev)
{
    if (dev.LivePollPhase == 0) {
        std::uint8_t fn = 0;
        int reply = 0;
        switch (engine.DisplayMode) {
        case 0: fn = FN_READ_TEMP; reply = 29; break;
        case 1: fn = FN_READ_AD; reply = 51; break;
        case 2: fn = FN_READ_VOLT; reply = 51; break;
        default: break;
        }
        dev.LivePollPhase += 1;
        if (fn == 0)
            return;
        engine.prepareRequest(fn, 7, reply);
        engine.SendCommand();
    } else {
        dev.LivePollPhase = 0;
        ReadDIDO(engine, dev);
    }
}

void ReadDIDO(Engine& engine, DeviceData& dev)
{
    engine.prepareRequest(FN_DIDO, 7, didoReplyLen(dev.SysInfo.DeviceType, dev.SysInfo.InnerVersion));
    engine.SendCommand();
}

void registerSerialRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;

    e->setSerialBuilder(QS_REFRESH_LIVE, [e, d] { ReadData(*e, *d); });
    e->setSerialBuilder(QS_READ_DIDO, [e, d] { ReadDIDO(*e, *d); });

    // Inline frames of the dispatcher.
    e->setSerialBuilder(QS_WRITE_COLD_CAL, [e, d] { e->sendFrame(coldCalRequest(d->TempWriteValue), 9); });
    e->setSerialBuilder(QS_WRITE_INNER_CAL, [e, c] {
        std::int16_t v[8];
        readInnerCalBoxes(*c, v);
        e->sendFrame(innerCalRequest(v), 7);
    });
    e->setSerialBuilder(QS_RESTORE_SELECTED, [e, d] { e->sendFrame(restoreSelectedRequest(d->ResumeMask), 7); });
    e->setSerialBuilder(QS_WRITE_PROFIBUS, [e, c] {
        auto* box = c->get<QCheckBox>(QStringLiteral("ckProfibus"));
        e->sendFrame(profibusWriteRequest(box && box->isChecked()), 8);
    });

    e->setSerialDecoder(49, [c] { toggleRunStop(*c); });
}
