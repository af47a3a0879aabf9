#include "link/device_table.h"

QString DeviceEntry::addrText() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(Addr[0]).arg(Addr[1]).arg(Addr[2]).arg(Addr[3]);
}

void DeviceTable::reset()
{
    rows_.clear();
    rows_.push_back(DeviceEntry{});
}

int DeviceTable::find(const std::array<std::uint8_t, 4>& addr) const
{
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].Addr == addr)
            return i;
    return -1;
}

DeviceTable::Seen DeviceTable::accept(const net::DeviceAnnounce& a, qint64 now, int* index)
{
    const std::array<std::uint8_t, 4> addr{a.addr[0], a.addr[1], a.addr[2], a.addr[3]};
    const int i = find(addr);
    if (i >= 0 && !rows_[i].isPlaceholder()) {
        // DeviceID and PD tag stay as first announced.
        rows_[i].LastSeen = now;
        rows_[i].Port = std::int16_t(a.port);
        if (index)
            *index = i;
        return Seen::Known;
    }
    if (!rows_.back().isPlaceholder())
        rows_.push_back(DeviceEntry{});
    auto& r = rows_.back();
    r.Addr = addr;
    r.DeviceId = a.deviceId;
    r.PdTag = a.pdTag;
    r.Port = std::int16_t(a.port);
    r.LastSeen = now;
    if (index)
        *index = int(rows_.size() - 1);
    return Seen::New;
}

void DeviceTable::removeAt(int i)
{
    if (i < 0 || i >= rows_.size())
        return;
    if (rows_.size() == 1) {
        reset();
        return;
    }
    rows_.remove(i);
}
