// The main window's part of the image file and the firmware upgrade: both live
// in their own layers and are wired here.
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"

namespace {
// The start-up's command line goes to the image-file loader.
class ImageFileService : public ImageService {
public:
    explicit ImageFileService(ImageFile& f) : f_(f) {}
    void AnalysisParam(QString& records) override { f_.AnalysisParam(records); }

private:
    ImageFile& f_;
};
} // namespace

void Form1::setupFilesAndUpgrade(const Form1Options& options)
{
    OrderServer* server = options.orderServer;
    if (!server) {
        ownOrderServer_ = std::make_unique<UnavailableOrderServer>();
        server = ownOrderServer_.get();
    }
    imageFile_ = std::make_unique<ImageFile>(
        this, *engine_, ImageHeader{&EmployeeNo, &BinFileName, &BinVersion, &BootVersion, &DeviceSerial},
        [this] { return cmdSetPara_Vk(); });
    imageFile_->mayDownload = [this] { return sysInfoReadHere(); };
    imageService_ = std::make_unique<ImageFileService>(*imageFile_);
    images_ = options.images ? options.images : imageService_.get();
    upgrade_ = std::make_unique<FirmwareUpgrade>(this, *engine_, *server, *imageFile_,
                                                 FirmwareUpgrade::Texts{&BinFileName, &BootVersion, &TuneParamText},
                                                 [this](int maximum) { InitProgress(maximum, false); });
}
