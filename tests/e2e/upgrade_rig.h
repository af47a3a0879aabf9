#pragma once
// What the firmware end-to-end suites share: a test image and the boxes shown.
#include "base/msgbox.h"
#include "devsim/faults.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace e2e {

// A 256 KiB image whose size is not a multiple of 512.
inline QByteArray testImage(int size = 256 * 1024 - 100)
{
    QByteArray image(size, '\0');
    QRandomGenerator g(12);
    for (auto& c : image)
        c = char(g.bounded(256));
    return image;
}

// What the device must hold after a transfer: the image, its last block padded with 0xFF.
inline QByteArray padded(const QByteArray& image)
{
    const int blocks = (int(image.size()) + 511) / 512;
    return image.leftJustified(blocks * 512, char(0xFF));
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

// Answers every box with OK and records its text.
inline void recordBoxes(QStringList& boxes)
{
    setMsgResponder([&boxes](const MsgRequest& r) {
        boxes << r.text;
        return MsgAnswer::Ok;
    });
}

// Chooses the file in the dialog's place and presses 开始升级.
inline void upgradeFrom(Form1& f, const QString& path)
{
    f.upgrade().chooseFile = [path] { return path; };
    f.upgrade().bt_FindUpdataFile_Click();
    f.upgrade().bt_Updata_Click();
}

// The steps a device may refuse, and how many blocks go out before the refusal.
inline void refusedStepRows()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("blocksSent");
    QTest::newRow("start") << int(SimFaults::FLASH_START) << 0;
    QTest::newRow("size") << int(SimFaults::FLASH_SIZE) << 0;
    QTest::newRow("middle block (Ethernet: with an earlier sequence number)") << 8 << 9;
}

} // namespace e2e
