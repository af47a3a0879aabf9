#pragma once
// The firmware upgrade: an image cut into 512-byte blocks and sent to the
// device block by block (start, block count, blocks) on either link, in the
// stages of a chosen main program (0), the IAP image (4), the boot loader (3)
// and the main program from the production server (2).
#include "upgrade/order_server.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class Engine;
class ImageFile;
class QWidget;

class FirmwareUpgrade : public QObject {
    Q_OBJECT
public:
    struct Texts {                  // texts of the main window the stages read and fill
        QString* BinFileName = nullptr;
        QString* BootVersion = nullptr;
        QString* TuneParamText = nullptr;
    };

    // `showProgress` shows the window's progress bar with that maximum, not stepped by its timer.
    FirmwareUpgrade(QWidget* window, Engine& engine, OrderServer& server, ImageFile& images, Texts texts,
                    std::function<void(int maximum)> showProgress, QObject* parent = nullptr);

    // ---- module state ----
    std::vector<QByteArray> FwBlocks{2};
    int FwBlockCount = 0;
    int FwBlockIndex = 0;
    int UpgradeMode = 0;
    QString chosenFile;             // the *.bin picked with bt_FindUpdataFile
    QString programDir;             // where IAP.bin and the boot loader lie
    // From the start of a transfer to its end the progress bar is the upgrade's:
    // its value tells which block reply is the last.
    bool ownsProgress = false;

    // ---- the upgrade sequence and its builders ----
    void SetUpdateCmd();
    void StartFlash();
    void SendFlashSize();
    void SendFlashBlock();

    // ---- buttons and stages ----
    void bt_FindUpdataFile_Click();
    void bt_Updata_Click();
    void DownIAP();
    void DownBoot();
    void DownBin();
    void DownParaAndOrder();

    // The time-out's end of an upgrade: two empty blocks, counters 0, and the
    // chosen file forgotten, so nothing of the failed image is sent again.
    void resetFirmwareBlocks();

    // The file dialog for *.bin; tests replace it. Empty: cancelled.
    std::function<QString()> chooseFile;

private:
    // Reads and cuts an image; on failure shows `failText` (or the refusal) with
    // the name and keeps the blocks as they were.
    bool loadImage(const QString& path, const char* failText);
    bool takeImage(const QByteArray& image, const QString& name);
    bool ethernet() const;
    void status(const char* text);

    QWidget* window_;
    Engine& engine_;
    OrderServer& server_;
    ImageFile& images_;
    Texts texts_;
    std::function<void(int)> showProgress_;
};
