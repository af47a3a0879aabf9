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

void registerEthRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;

    e->setEthBuilder(QE_WRITE_INNER_CAL, [e, c] {
        qint16 v[8];
        readInnerCalBoxes(*c, v);
        e->WritePayload = innerCalPayload(v);
    });

    e->setEthAction(QStringLiteral("innerCalRead"), [e, c] {
        const auto v = innerCalValues(e->NetRxBuf);
        if (!v)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        qint16 a[8];
        std::copy(v->begin(), v->end(), a);
        showInnerCal(*c, a);
    }, [e](auto) { return innerCalValues(e->NetRxBuf).has_value(); });
    e->setEthAction(QStringLiteral("weekdayRead"), [e, c] {
        const auto w = weekdayValue(e->NetRxBuf);
        if (!w)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        // 1 selects the first day of the list.
        if (auto* box = c->get<QComboBox>(QStringLiteral("Combo_WeekDay")))
            box->setCurrentIndex(int(*w) - 1);
    }, [e](auto) { return weekdayValue(e->NetRxBuf).has_value(); });
    e->setEthAction(QStringLiteral("toggleRunStop"), [c] { toggleRunStop(*c); });
    e->setEthAction(QStringLiteral("aqToDqColours"), [c, d] { colourAqToDq(*c, *d); });
}
