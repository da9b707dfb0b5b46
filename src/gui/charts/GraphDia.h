// SPDX-License-Identifier: GPL-3.0-or-later
// Graph output shared by every chart window: printing through a print preview, copying to the
// clipboard (image, SVG and EMF) and saving as EMF, WMF, BMP, JPEG, PNG, SVG or PDF.
#pragma once

#include "charts/ChartView.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

class QCheckBox;
class QPrinter;
class QRadioButton;
class QSpinBox;

namespace kivspc::gui {

struct TJpegOptions {
    int Quality = 95; // 1-100
    bool GrayScale = false;
    bool Speed = false; // the fast integer transform instead of the accurate one
};

// The JPEG options: "% &Quality:", "&Gray scale" and "&Performance:" Quality or Speed.
class TJpegOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TJpegOptionsDialog(const TJpegOptions& options, QWidget* parent = nullptr);
    TJpegOptions Options() const;

private:
    QSpinBox* quality_;
    QCheckBox* gray_;
    QRadioButton* speed_;
};

// The image encoded by libjpeg; empty when encoding fails.
QByteArray EncodeJpeg(const QImage& image, const TJpegOptions& options);

// Every output draws the chart's scene with the window's view state (its picture), never the
// widget itself, at the size the chart has on screen; a program without a window draws a picture
// of a scene just the same. The overloads taking a chart view draw its picture.

// The chart as an enhanced metafile, a Windows metafile or SVG, at its on-screen size.
QByteArray ChartEmf(const TChartPicture& chart);
QByteArray ChartWmf(const TChartPicture& chart);
QByteArray ChartSvg(const TChartPicture& chart);
QByteArray ChartEmf(const TChartView* chart);
QByteArray ChartWmf(const TChartView* chart);
QByteArray ChartSvg(const TChartView* chart);

// Draws the chart on the printer's page within 5 % margins, keeping its proportions.
void RenderChartToPrinter(const TChartPicture& chart, QPrinter& printer);
void RenderChartToPrinter(const TChartView* chart, QPrinter& printer);

// The print preview with printer choice, setup, orientation and printing; modal.
void PrintChart(const TChartPicture& chart, QWidget* parent = nullptr);
void PrintChart(const TChartView* chart, QWidget* parent = nullptr);
// The same page written to a PDF file.
bool PrintChartToPdf(const TChartPicture& chart, const QString& path);
bool PrintChartToPdf(const TChartView* chart, const QString& path);
// The chart on the clipboard as an image, SVG and EMF, with the notice "Graph Copied to
// Clipboard!".
void CopyChart(const TChartPicture& chart);
void CopyChart(const TChartView* chart);
// The save dialog's file types, the enhanced metafile first (the one the dialog opens on).
QStringList ChartSaveFilters();
// The name a chart chosen in the save dialog is saved under: a name ending in one of the
// extensions of ChartSaveFilters (any case) keeps it; any other name gets the extension of the
// chosen type (".emf" for "All").
QString ChartSavePath(const QString& chosenPath, const QString& nameFilter);
// Saves the chart under the name and type chosen in the save dialog (see ChartSavePath), asking
// for the JPEG options first when that is a JPEG image. A file the dialog did not ask about is
// replaced only when the user agrees. False when nothing was saved.
bool SaveChosenChart(const TChartPicture& chart, const QString& chosenPath, const QString& nameFilter,
                     QWidget* parent = nullptr);
bool SaveChosenChart(const TChartView* chart, const QString& chosenPath, const QString& nameFilter,
                     QWidget* parent = nullptr);
// The save dialog, then SaveChosenChart. False when cancelled or nothing was saved.
bool SaveChart(const TChartPicture& chart, QWidget* parent = nullptr);
bool SaveChart(const TChartView* chart, QWidget* parent = nullptr);
// Saves the chart in the format the extension names (any case): emf, wmf, bmp, jpg, png, svg or
// pdf. Another extension gives "File Extension Not Valid!". The file is replaced only when the
// whole picture was written. False when nothing was saved.
bool SaveChartAs(const TChartPicture& chart, const QString& path, const TJpegOptions& jpeg = {});
bool SaveChartAs(const TChartView* chart, const QString& path, const TJpegOptions& jpeg = {});

} // namespace kivspc::gui
