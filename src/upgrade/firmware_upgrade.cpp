#include "upgrade/firmware_upgrade.h"

#include "base/command.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "imagefile/image_file.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/eth_commands.h"
#include "proto/firmware.h"
#include "proto/serial_commands.h"
#include "upgrade/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// The firmware procedures log to their own file.
template <class F>
void trapUpgrade(const char* tag, F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const Abandoned&) {
    } catch (const std::exception& e) {
        WriteErrorLog(QString::fromStdString(e.what()), QString::fromLatin1(tag) + QStringLiteral("(Form1)"),
                      UPGRADE_LOG_FILE);
    }
}

// Entries the command stack holds besides the blocks: the idle poll, the size
// and the start.
constexpr int SEQUENCE_EXTRA = 3;

} // namespace

FirmwareUpgrade::FirmwareUpgrade(QWidget* window, Engine& engine, OrderServer& server, ImageFile& images,
                                 Texts texts, std::function<void(int)> showProgress, QObject* parent)
    : QObject(parent), window_(window), engine_(engine), server_(server), images_(images), texts_(texts),
      showProgress_(std::move(showProgress))
{
    programDir = QCoreApplication::applicationDirPath();
    chooseFile = [this] {
        return QFileDialog::getOpenFileName(window_, u(texts7::CHOOSE_TITLE), {}, u(texts7::BIN_FILTER));
    };
    engine_.setSerialBuilder(serial::QS_FLASH_START, [this] { StartFlash(); });
    engine_.setSerialBuilder(serial::QS_FLASH_SIZE, [this] { SendFlashSize(); });
    engine_.setSerialBuilder(serial::QS_FLASH_BLOCK, [this] { SendFlashBlock(); });
    engine_.setEthBuilder(net::QE_FLASH_START, [this] { StartFlash(); });
    engine_.setEthBuilder(net::QE_FLASH_SIZE, [this] { SendFlashSize(); });
    engine_.setEthBuilder(net::QE_FLASH_BLOCK, [this] { SendFlashBlock(); });

    if (auto* b = window_->findChild<QPushButton*>(QStringLiteral("bt_FindUpdataFile")))
        command(b, this, engine_, [this] { bt_FindUpdataFile_Click(); }, Gate::Free);
    if (auto* b = window_->findChild<QPushButton*>(QStringLiteral("bt_Updata")))
        command(b, this, engine_, [this] { bt_Updata_Click(); });
    // From the first request of an upgrade to its end neither button can be
    // pressed: their group is switched off, so whatever else enables or
    // disables the buttons themselves stays as it was. Another owner (a
    // slave-table write) leaves them: choosing a file sends nothing, and
    // 开始升级 meets the gate.
    connect(&engine_, &Engine::stackOwnerChanged, this, [this] {
        if (auto* b = window_->findChild<QPushButton*>(QStringLiteral("bt_Updata")); b && b->parentWidget())
            b->parentWidget()->setEnabled(engine_.owner() != Engine::Owner::Upgrade);
    });
}

bool FirmwareUpgrade::ethernet() const { return engine_.view()->linkOption() == 1; }

void FirmwareUpgrade::status(const char* text) { engine_.view()->setStatus(u(text)); }

// ---------------------------------------------------------------- sequence

void FirmwareUpgrade::SetUpdateCmd()
{
    const bool eth = ethernet();
    std::vector<std::int16_t> list;
    list.reserve(std::size_t(FwBlockCount + SEQUENCE_EXTRA));
    list.push_back(eth ? std::int16_t(net::QE_REFRESH_LIVE) : std::int16_t(serial::QS_REFRESH_LIVE));
    list.insert(list.end(), std::size_t(FwBlockCount),
                eth ? std::int16_t(net::QE_FLASH_BLOCK) : std::int16_t(serial::QS_FLASH_BLOCK));
    list.push_back(eth ? std::int16_t(net::QE_FLASH_SIZE) : std::int16_t(serial::QS_FLASH_SIZE));
    list.push_back(eth ? std::int16_t(net::QE_FLASH_START) : std::int16_t(serial::QS_FLASH_START));
    // The upgrade owns the stack until it ends (refused while another one runs).
    engine_.loadOwnedList(list);
    // The start, the size and every block advance the bar by one from 1.
    showProgress_(FwBlockCount + SEQUENCE_EXTRA);
    ownsProgress = true;
    FwBlockIndex = 0;
}

void FirmwareUpgrade::StartFlash()
{
    if (ethernet()) {
        engine_.WritePayload = firmware::startPayload();
        engine_.WriteCmd();
    } else {
        engine_.sendFrame(firmware::startRequest(), firmware::START_REPLY);
    }
}

void FirmwareUpgrade::SendFlashSize()
{
    const auto count = std::uint16_t(FwBlockCount);
    if (ethernet()) {
        engine_.WritePayload = firmware::sizePayload(count);
        engine_.WriteCmd();
    } else {
        engine_.sendFrame(firmware::sizeRequest(count), firmware::SIZE_REPLY);
    }
}

void FirmwareUpgrade::SendFlashBlock()
{
    if (FwBlockIndex < 0 || FwBlockIndex >= FwBlockCount || std::size_t(FwBlockIndex) >= FwBlocks.size())
        throw RuntimeError(QStringLiteral("下标越界"));
    const QByteArray& block = FwBlocks[std::size_t(FwBlockIndex)];
    if (ethernet()) {
        if (block.size() != firmware::BLOCK_SIZE)
            throw RuntimeError(QStringLiteral("下标越界"));
        engine_.WritePayload = block;
        engine_.WriteCmd();
    } else {
        const auto frame = firmware::blockRequest(block);
        if (!frame)
            throw RuntimeError(QStringLiteral("下标越界"));
        engine_.sendFrame(*frame, firmware::BLOCK_REPLY);
    }
    ++FwBlockIndex;
}

void FirmwareUpgrade::resetFirmwareBlocks()
{
    FwBlocks.assign(2, QByteArray());
    FwBlockCount = 0;
    FwBlockIndex = 0;
    chosenFile.clear();
    ownsProgress = false;
}

// ---------------------------------------------------------------- images

bool FirmwareUpgrade::takeImage(const QByteArray& image, const QString& name)
{
    firmware::CutError why = firmware::CutError::None;
    auto blocks = firmware::cutBlocks(image, &why);
    // Every block is one entry of the command stack, beside three others.
    if (why == firmware::CutError::None && blocks.size() + SEQUENCE_EXTRA > Engine::STACK_SIZE)
        why = firmware::CutError::TooLarge;
    if (why != firmware::CutError::None) {
        MsgBox(u(why == firmware::CutError::Empty ? texts7::FILE_EMPTY : texts7::FILE_TOO_LARGE) + name);
        return false;
    }
    FwBlocks = std::move(blocks);
    FwBlockCount = int(FwBlocks.size());
    FwBlockIndex = 0;
    return true;
}

bool FirmwareUpgrade::loadImage(const QString& path, const char* failText)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgBox(u(failText) + path);
        return false;
    }
    // The size decides first: an image with more blocks than the stack holds
    // is refused before a byte of it is read.
    if (f.size() > qint64(Engine::STACK_SIZE - SEQUENCE_EXTRA) * firmware::BLOCK_SIZE) {
        MsgBox(u(texts7::FILE_TOO_LARGE) + path);
        return false;
    }
    return takeImage(f.readAll(), path);
}

// ---------------------------------------------------------------- buttons and stages

void FirmwareUpgrade::bt_FindUpdataFile_Click()
{
    trapUpgrade("bt_FindUpdataFile_Click", [&] {
        const QString path = chooseFile();
        if (path.isEmpty())
            return;
        chosenFile = path;
        if (auto* b = window_->findChild<QPushButton*>(QStringLiteral("bt_Updata")))
            b->setToolTip(QDir::toNativeSeparators(path));
    });
}

void FirmwareUpgrade::bt_Updata_Click()
{
    trapUpgrade("bt_Updata_Click", [&] {
        // Without a running link nothing would send the blocks, nor end the
        // upgrade: refused, as while another operation owns the stack.
        if (!engine_.mayOwn())
            return;
        if (chosenFile.isEmpty()) {
            MsgBox(u(texts7::NO_FILE_CHOSEN));
            return;
        }
        if (!loadImage(chosenFile, texts7::OPEN_FILE_FAILED))
            return;
        UpgradeMode = 0;
        SetUpdateCmd();
    });
}

void FirmwareUpgrade::DownIAP()
{
    trapUpgrade("DownIAP", [&] {
        engine_.refuseWhileOwned();
        status(texts7::PREPARE_IAP);
        if (!loadImage(QDir(programDir).filePath(u(texts7::IAP_FILE)), texts7::OPEN_IAP_FAILED)) {
            UpgradeMode = 255;
            return;
        }
        UpgradeMode = 4;
        SetUpdateCmd();
    });
}

void FirmwareUpgrade::DownBoot()
{
    trapUpgrade("DownBoot", [&] {
        engine_.refuseWhileOwned();
        status(texts7::PREPARE_BOOT);
        const QString name = (texts_.BootVersion ? *texts_.BootVersion : QString()) + QStringLiteral(".bin");
        if (!loadImage(QDir(programDir).filePath(name), texts7::OPEN_BOOT_FAILED)) {
            UpgradeMode = 255;
            return;
        }
        UpgradeMode = 3;
        SetUpdateCmd();
    });
}

void FirmwareUpgrade::DownBin()
{
    trapUpgrade("DownBin", [&] {
        engine_.refuseWhileOwned();
        status(texts7::PREPARE_MAIN);
        const QString name = texts_.BinFileName ? *texts_.BinFileName : QString();
        const auto image = server_.GetDeviceProgram(name);
        if (!image) {
            UpgradeMode = 255;
            MsgBox(u(texts7::FETCH_MAIN_FAILED) + name);
            return;
        }
        status(texts7::START_MAIN);
        if (!takeImage(*image, name)) {
            UpgradeMode = 255;
            return;
        }
        UpgradeMode = 2;
        SetUpdateCmd();
    });
}

void FirmwareUpgrade::DownParaAndOrder()
{
    trapUpgrade("DownParaAndOrder", [&] {
        auto* box = window_->findChild<QLineEdit*>(QStringLiteral("lblNUM"));
        const QString number = box ? box->text() : QString();
        const auto text = server_.GetTuneParam(number);
        if (!text) {
            MsgBox(u(texts7::TUNE_NOT_FOUND) + number);
            return;
        }
        QString kept = *text;
        if (texts_.TuneParamText)
            *texts_.TuneParamText = kept;
        images_.DownOrder(kept, UpgradeMode);
    });
}
