#pragma once
// The device image file: the main window's page controls saved as image
// records, loaded back into the pages (also from the command line and from the
// production server's parameter texts), and loaded and downloaded.
#include "imagefile/image_records.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class Engine;
class QWidget;

// The header texts an image file carries, kept by the main window.
struct ImageHeader {
    QString* EmployeeNo = nullptr;
    QString* BinFileName = nullptr;
    QString* BinVersion = nullptr;
    QString* BootVersion = nullptr;
    QString* DeviceSerial = nullptr;
};

class ImageFile : public QObject {
    Q_OBJECT
public:
    // `window` is the main window; its pages are the controls under "tabs".
    // `setParaVk` writes the pages to the device (the main window's
    // cmdSetPara_Vk); false when it refused the values and queued nothing.
    ImageFile(QWidget* window, Engine& engine, ImageHeader header, std::function<bool()> setParaVk,
              QObject* parent = nullptr);

    // Applies a text of image records to the pages. Records whose key names no
    // page control or header, or whose value the control cannot take, are
    // skipped and counted in one error-log line. Returns the records applied.
    int AnalysisParam(QString& records);
    // The header and the page controls as records, in the order that loads them back.
    QList<imagefile::Record> records() const;

    // Writes the records that load back as written; the others are left out
    // and, when asked, handed back in `leftOut`.
    bool saveFile(const QString& path, QList<imagefile::Record>* leftOut = nullptr);
    bool loadFile(const QString& path);

    void cmdSave_Click();
    void cmdRead_Click();
    void ReadTxt_Click();
    void ReadTxtAndDown_Click();
    // Applies a parameter text from the production server and queues its download.
    void DownOrder(QString& text, int& upgradeMode);

    // Whether the download may begin: the system record it completes was read
    // in this connection (the main window tells the user when not). Unset: it may.
    std::function<bool()> mayDownload;
    // The file dialog; tests replace it. Empty: cancelled.
    std::function<QString(bool save, const QString& suggested)> chooseFile;

private:
    QString* headerField(const QString& key) const;
    bool apply(const imagefile::Record& r, const QHash<QString, QWidget*>& controls);
    bool download();

    QWidget* window_;
    Engine& engine_;
    ImageHeader header_;
    std::function<bool()> setParaVk_;
};
