#pragma once
// Services of other parts of the program that the main window's start-up uses.
#include <QString>

class ImageService {
public:
    virtual ~ImageService() = default;
    // Applies a text of image records to the pages.
    virtual void AnalysisParam(QString& records) { (void)records; }
};
