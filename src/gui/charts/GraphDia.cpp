// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/GraphDia.h"

#include "app/AtomicFile.h"
#include "app/MRUFilesUnit.h"
#include "app/Messages.h"
#include "app/Platform.h"
#include "app/SavePath.h"
#include "charts/Metafile.h"
#include "output/WaitMessageUnit.h"

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPdfWriter>
#include <QPicture>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace kivspc::gui {

namespace {

// The resolution every saved picture states, so that all formats have the chart's size.
constexpr int kChartDpi = 96;

QSize ChartSize(const TChartPicture& chart) { return chart.Size.expandedTo(QSize(16, 16)); }

// Draws the chart's scene as the window shows it.
void Draw(const TChartPicture& chart, QCPPainter& painter, QSize size) {
    RenderScene(chart.Scene, chart.View, painter, size);
}

// Paints the whole chart, as a vector picture, onto any device of the chart's size.
void PaintChart(const TChartPicture& chart, QPaintDevice* device, QSize size) {
    QCPPainter painter(device);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    Draw(chart, painter, size);
}

QImage ChartImage(const TChartPicture& chart) {
    const QSize size = ChartSize(chart);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QCPPainter painter(&image);
        Draw(chart, painter, size);
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(kChartDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

QByteArray EncodeWithQt(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) return {};
    return bytes;
}

QByteArray ChartPdf(const TChartPicture& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = ChartSize(chart);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator("Kivspc");
        // The page has the chart's size at 96 pixels per inch, as every other format states it:
        // 72 points for 96 pixels. An exact match: no paper size of nearly that size replaces it.
        writer.setResolution(kChartDpi);
        writer.setPageSize(
            QPageSize(QSizeF(size) * 72.0 / kChartDpi, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QCPPainter painter(&writer);
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        // The page's pixels are the chart's, apart from rounding of the page size to points.
        const double scale = writer.width() / static_cast<double>(size.width());
        painter.scale(scale, scale);
        Draw(chart, painter, size);
    }
    return bytes;
}

struct TJpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg over rows of the image; nothing here has a destructor, so an error may jump back.
bool Compress(const QImage& image, const TJpegOptions& options, unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct info{};
    TJpegError error{};
    info.err = jpeg_std_error(&error.base);
    // The default error exit would end the program.
    error.base.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<TJpegError*>(common->err)->jump, 1);
    };
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = options.GrayScale ? 1 : 3;
    info.in_color_space = options.GrayScale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    const int quality = std::clamp(options.Quality, 1, 100);
    jpeg_set_quality(&info, quality, TRUE);
    // At high qualities colour keeps the full resolution (4:4:4): halved, a thin red line of a
    // chart turns dark with pink fringes.
    if (quality >= 90)
        for (int i = 0; i < info.num_components; ++i)
            info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    info.dct_method = options.Speed ? JDCT_IFAST : JDCT_ISLOW;
    info.density_unit = 1; // dots per inch
    info.X_density = info.Y_density = kChartDpi;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

TJpegOptionsDialog::TJpegOptionsDialog(const TJpegOptions& options, QWidget* parent) : QDialog(parent) {
    setObjectName("Form_JpegOptions");
    setWindowTitle("JPEG Options");
    quality_ = new QSpinBox(this);
    quality_->setObjectName("SpinEdit_Quality");
    quality_->setRange(1, 100);
    quality_->setValue(options.Quality);
    quality_->setAccessibleName("Quality");
    gray_ = new QCheckBox("&Gray scale", this);
    gray_->setObjectName("CheckBox_Gray");
    gray_->setChecked(options.GrayScale);
    auto* qualityMode = new QRadioButton("Q&uality", this);
    qualityMode->setObjectName("RadioButton_Quality");
    speed_ = new QRadioButton("&Speed", this);
    speed_->setObjectName("RadioButton_Speed");
    (options.Speed ? speed_ : qualityMode)->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(qualityMode);
    group->addButton(speed_);
    auto* modes = new QHBoxLayout;
    modes->addWidget(qualityMode);
    modes->addWidget(speed_);
    modes->addStretch();
    auto* form = new QFormLayout;
    auto* qualityLabel = new QLabel("% &Quality:", this);
    qualityLabel->setBuddy(quality_);
    form->addRow(qualityLabel, quality_);
    form->addRow(QString(), gray_);
    auto* performance = new QLabel("&Performance:", this);
    performance->setBuddy(qualityMode);
    form->addRow(performance, modes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("Button_OK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("Button_Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

TJpegOptions TJpegOptionsDialog::Options() const {
    return {quality_->value(), gray_->isChecked(), speed_->isChecked()};
}

QByteArray EncodeJpeg(const QImage& source, const TJpegOptions& options) {
    if (source.isNull()) return {};
    const QImage image =
        source.convertToFormat(options.GrayScale ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    QByteArray bytes;
    if (Compress(image, options, &out, &outSize) && out)
        bytes = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    std::free(out);
    return bytes;
}

QByteArray ChartEmf(const TChartPicture& chart) {
    TMetafileDevice device(TMetafileFormat::Emf, ChartSize(chart), kChartDpi);
    PaintChart(chart, &device, device.Size());
    return device.Data();
}

QByteArray ChartWmf(const TChartPicture& chart) {
    TMetafileDevice device(TMetafileFormat::Wmf, ChartSize(chart), kChartDpi);
    PaintChart(chart, &device, device.Size());
    return device.Data();
}

QByteArray ChartSvg(const TChartPicture& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = ChartSize(chart);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle("Kivspc chart");
    svg.setResolution(kChartDpi);
    PaintChart(chart, &svg, size);
    return bytes;
}

void RenderChartToPrinter(const TChartPicture& chart, QPrinter& printer) {
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    // Recorded at screen resolution first, so that fonts keep their size relative to the chart
    // when the picture is scaled to the page.
    const QSize size = ChartSize(chart);
    QPicture picture;
    {
        QCPPainter recorder(&picture);
        recorder.setMode(QCPPainter::pmVectorized);
        recorder.setMode(QCPPainter::pmNoCaching);
        Draw(chart, recorder, size);
    }
    QPainter painter(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // 5 % margins on every side; the chart keeps its proportions within them.
    const QRectF area =
        page.adjusted(page.width() * 0.05, page.height() * 0.05, -page.width() * 0.05, -page.height() * 0.05);
    const double scale = std::min(area.width() / size.width(), area.height() / size.height());
    painter.translate(area.left() - page.left() + (area.width() - size.width() * scale) / 2,
                      area.top() - page.top() + (area.height() - size.height() * scale) / 2);
    // Playing a picture on the printer already enlarges it by the ratio of the resolutions.
    const double played = static_cast<double>(printer.logicalDpiX()) / picture.logicalDpiX();
    painter.scale(scale / played, scale / played);
    painter.drawPicture(0, 0, picture);
}

void PrintChart(const TChartPicture& chart, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(chart.Size.width() > chart.Size.height() ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle("Print Preview");
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&chart](QPrinter* p) { RenderChartToPrinter(chart, *p); });
    preview.exec();
}

bool PrintChartToPdf(const TChartPicture& chart, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(chart.Size.width() > chart.Size.height() ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    RenderChartToPrinter(chart, printer);
    return QFileInfo::exists(path);
}

void CopyChart(const TChartPicture& chart) {
    {
        BusyCursor busy;
        auto* mime = new QMimeData;
        mime->setImageData(ChartImage(chart));
        mime->setData("image/svg+xml", ChartSvg(chart));
        const QByteArray emf = ChartEmf(chart);
        mime->setData("image/x-emf", emf);
        mime->setData("image/emf", emf);
        QApplication::clipboard()->setMimeData(mime);
    }
    ShowWaitMessage("Graph Copied to Clipboard!", 2);
}

bool SaveChartAs(const TChartPicture& chart, const QString& path, const TJpegOptions& jpeg) {
    const QString ext = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    {
        BusyCursor busy;
        if (ext == "emf")
            bytes = ChartEmf(chart);
        else if (ext == "wmf")
            bytes = ChartWmf(chart);
        else if (ext == "bmp")
            bytes = EncodeWithQt(ChartImage(chart), "BMP");
        else if (ext == "jpg")
            bytes = EncodeJpeg(ChartImage(chart), jpeg);
        else if (ext == "png")
            bytes = EncodeWithQt(ChartImage(chart), "PNG");
        else if (ext == "svg")
            bytes = ChartSvg(chart);
        else if (ext == "pdf")
            bytes = ChartPdf(chart);
        else {
            ShowError("File Extension Not Valid!");
            return false;
        }
    }
    if (bytes.isEmpty() ||
        !WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size()))) {
        ShowError("The graph could not be saved as\r\n" + path.toStdString());
        return false;
    }
    return true;
}

QStringList ChartSaveFilters() {
    return {"Enhanced Metafiles (*.emf)",
            "Metafiles (*.wmf)",
            "Bitmaps (*.bmp)",
            "JPEG Images (*.jpg)",
            "PNG Images (*.png)",
            "SVG Drawings (*.svg)",
            "PDF Documents (*.pdf)",
            "All (*.emf *.wmf *.bmp *.jpg *.png *.svg *.pdf)"};
}

QString ChartSavePath(const QString& chosenPath, const QString& nameFilter) {
    return SavePathForFilter(chosenPath, nameFilter, {"emf", "wmf", "bmp", "jpg", "png", "svg", "pdf"});
}

bool SaveChosenChart(const TChartPicture& chart, const QString& chosenPath, const QString& nameFilter,
                     QWidget* parent) {
    const QString path = ChartSavePath(chosenPath, nameFilter);
    if (!MayWriteSavePath(chosenPath, path)) return false;
    TJpegOptions jpeg;
    if (QFileInfo(path).suffix().toLower() == "jpg") {
        TJpegOptionsDialog options(jpeg, parent);
        if (options.exec() != QDialog::Accepted) return false;
        jpeg = options.Options();
    }
    return SaveChartAs(chart, path, jpeg);
}

bool SaveChart(const TChartPicture& chart, QWidget* parent) {
    QFileDialog dialog(parent, "Save Graph", QString::fromStdString(MRUFiles().LastFolder()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = ChartSaveFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    // No default suffix: the filter chosen last adds the extension afterwards, which also holds
    // for desktop dialogs that do not report a change of filter.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return SaveChosenChart(chart, dialog.selectedFiles().front(), dialog.selectedNameFilter(), parent);
}

QByteArray ChartEmf(const TChartView* chart) { return ChartEmf(PictureOf(*chart)); }
QByteArray ChartWmf(const TChartView* chart) { return ChartWmf(PictureOf(*chart)); }
QByteArray ChartSvg(const TChartView* chart) { return ChartSvg(PictureOf(*chart)); }
void RenderChartToPrinter(const TChartView* chart, QPrinter& printer) {
    RenderChartToPrinter(PictureOf(*chart), printer);
}
void PrintChart(const TChartView* chart, QWidget* parent) {
    if (chart) PrintChart(PictureOf(*chart), parent);
}
bool PrintChartToPdf(const TChartView* chart, const QString& path) {
    return chart && PrintChartToPdf(PictureOf(*chart), path);
}
void CopyChart(const TChartView* chart) {
    if (chart) CopyChart(PictureOf(*chart));
}
bool SaveChosenChart(const TChartView* chart, const QString& chosenPath, const QString& nameFilter,
                     QWidget* parent) {
    return chart && SaveChosenChart(PictureOf(*chart), chosenPath, nameFilter, parent);
}
bool SaveChart(const TChartView* chart, QWidget* parent) {
    return chart && SaveChart(PictureOf(*chart), parent);
}
bool SaveChartAs(const TChartView* chart, const QString& path, const TJpegOptions& jpeg) {
    return chart && SaveChartAs(PictureOf(*chart), path, jpeg);
}

} // namespace kivspc::gui
