#include "device/eth_rows.h"

#include "base/errorlog.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"

#include <QComboBox>

using namespace net;

void registerEthRows(Engine& engine, DeviceData&, const Controls& controls)
{
    Engine* e = &engine;
    const Controls* c = &controls;

    e->setEthBuilder(QE_WRITE_INNER_CAL, [e, c] {
        qint16 v[8];
        readInnerCalBoxes(*c, v);
        e->WritePayload = innerCalPayload(v);
    });

    e->setEthAction(QStringLiteral("toggleRunStop"), [c] { toggleRunStop(*c); });
}
