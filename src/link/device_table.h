#pragma once
// The devices that announced themselves on the network, in order of first
// announcement. The table always holds at least one record: when empty, the
// all-zero placeholder. Record i is item i of the device list.
#include "proto/announce.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

struct DeviceEntry {
    std::array<std::uint8_t, 4> Addr{};
    QByteArray DeviceId; // 32 bytes as announced
    QByteArray PdTag;    // 32 bytes as announced
    std::int16_t Port = 0;
    qint64 LastSeen = 0; // milliseconds on a clock that does not jump
    bool isPlaceholder() const { return Addr == std::array<std::uint8_t, 4>{}; }
    quint16 port() const { return quint16(Port); } // read as unsigned wherever it is used
    QString addrText() const;
};

class DeviceTable {
public:
    DeviceTable() { reset(); }
    void reset(); // the single placeholder record
    int size() const { return int(rows_.size()); }
    const DeviceEntry& at(int i) const { return rows_.at(i); }
    int find(const std::array<std::uint8_t, 4>& addr) const;

    enum class Seen { Known, New };
    // Takes an accepted announcement; a new device fills the placeholder or is
    // appended. Returns the record's index through `index`.
    Seen accept(const net::DeviceAnnounce& a, qint64 now, int* index = nullptr);
    // Removes record i; removing the only record leaves the placeholder.
    void removeAt(int i);
    // Whole seconds since the record's last announcement.
    static qint64 ageSeconds(const DeviceEntry& e, qint64 now) { return (now - e.LastSeen) / 1000; }

private:
    QVector<DeviceEntry> rows_;
};
