// SPDX-License-Identifier: GPL-3.0-or-later
// Graph output read back by real clients: EMF through emf2svg-conv, WMF through wmf2svg, JPEG
// through djpeg, BMP and PNG through identify, SVG through rsvg-convert, PDF and the print
// path through pdftotext; one size for every format; the save dialog's file types; refused
// extensions; the clipboard's formats; the character sets of metafile text.
#include "ExternalReaders.h"
#include "GuiFixture.h"

#include "app/Platform.h"
#include "charts/ChartScene.h"
#include "charts/ChartView.h"
#include "charts/GraphDia.h"
#include "charts/MetafileText.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <iconv.h>
#include <optional>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Runs a program; its standard output and error together, whatever its exit status (compare
// reports on standard error and ends with 1 when two pictures differ), or nothing when missing.
std::optional<QByteArray> RunTool(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return QByteArray();
    return p.readAll();
}

// Acts on the modal dialog of type T once it is on screen (it may open only after the one shown
// now has closed), then closes it if it is still open.
template <class T> void OnModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries = 0]() mutable {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 500) return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no " << T::staticMetaObject.className();
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A chart of 1,000 points with a red limit line and a title.
TChartScene ThousandPoints() {
    TChartScene scene;
    scene.TitleLines = {"Test Chart Title"};
    auto ticks = std::make_shared<TSceneTicks>();
    TPointSeries points{
        .Name = "Series_Loc", .Hover = "Location Statistic", .Role = TSceneRole::LocationStatistic};
    for (int i = 0; i < 1000; ++i) {
        ticks->At.push_back(i);
        ticks->Labels.push_back(std::to_string(i + 1));
        points.X.push_back(i);
        points.Y.push_back(5 + 3 * std::sin(i * 0.1));
        points.JoinPrevious.push_back(i > 0);
    }
    points.Colors.assign(1000, kColorBlue);
    scene.Points.push_back(points);
    scene.Panels.push_back(
        {.X = {.Kind = TAxisKind::Positions, .Title = "Point", .Min = -0.5, .Max = 999.5, .Ticks = ticks},
         .Y = {.Title = "Mean", .Min = 0, .Max = 10},
         .XLink = 0});
    TLineSeries ucl{.Name = "Series_UCL", .Hover = "Location UCL", .Color = kColorRed, .Width = 2};
    AddStepRuns(ucl, points.X, std::vector<double>(1000, 9), 1);
    scene.Lines.push_back(ucl);
    return scene;
}

class GraphDiaTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        chart.resize(800, 500);
        chart.SetScene(ThousandPoints());
        chart.replot();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    RecordingPlatform recorder;
    TChartView chart;
    QTemporaryDir dir;
};

TEST_F(GraphDiaTest, MetafilesOpenAsVectorPicturesWithTheTitleAndLimitLine) {
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.emf")));
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.WMF"))) << "extensions in any case";
    const QByteArray emf = ReadAll(Path("chart.emf"));
    ASSERT_GT(emf.size(), 88);
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));

    const auto emfSvg = RunReader("emf2svg-conv", {"-i", Path("chart.emf"), "-o", Path("emf.svg")});
    if (!emfSvg) GTEST_SKIP() << "emf2svg-conv is not installed";
    const QByteArray fromEmf = ReadAll(Path("emf.svg"));
    EXPECT_TRUE(fromEmf.contains("Test Chart Title"));
    EXPECT_TRUE(fromEmf.toUpper().contains("#FF0000")) << "the red limit line";

    const auto wmfSvg = RunReader("wmf2svg", {"-o", Path("wmf.svg"), Path("chart.WMF")});
    ASSERT_TRUE(wmfSvg.has_value());
    const QByteArray fromWmf = ReadAll(Path("wmf.svg"));
    EXPECT_TRUE(fromWmf.contains("Test Chart Title"));
    EXPECT_TRUE(fromWmf.contains("stroke:red"));
}

TEST_F(GraphDiaTest, JpegFollowsItsOptions) {
    ASSERT_TRUE(SaveChartAs(&chart, Path("fine.jpg"), {95, false, false}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("coarse.jpg"), {20, false, true}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("gray.jpg"), {95, true, false}));
    EXPECT_GT(QFileInfo(Path("fine.jpg")).size(), QFileInfo(Path("coarse.jpg")).size());
    const auto color = RunReader("djpeg", {"-pnm", Path("fine.jpg")});
    if (!color) GTEST_SKIP() << "djpeg is not installed";
    EXPECT_TRUE(color->startsWith("P6\n800 500\n")) << "colour at the chart's size";
    const auto gray = RunReader("djpeg", {"-pnm", Path("gray.jpg")});
    ASSERT_TRUE(gray.has_value());
    EXPECT_TRUE(gray->startsWith("P5\n800 500\n")) << "one component";
}

TEST_F(GraphDiaTest, ImagesSvgAndPdfAreReadBack) {
    for (const char* name : {"chart.bmp", "chart.png", "chart.svg", "chart.pdf"})
        ASSERT_TRUE(SaveChartAs(&chart, Path(name))) << name;
    const auto bmp = RunReader("identify", {"-format", "%m %w %h", Path("chart.bmp")});
    if (!bmp) GTEST_SKIP() << "identify is not installed";
    EXPECT_TRUE(bmp->startsWith("BMP") && bmp->endsWith(" 800 500")) << bmp->toStdString();
    EXPECT_EQ(*RunReader("identify", {"-format", "%m %w %h", Path("chart.png")}), "PNG 800 500");
    const auto svg = RunReader("rsvg-convert", {"-o", Path("svg.png"), Path("chart.svg")});
    ASSERT_TRUE(svg.has_value());
    // The drawing keeps the chart's size (rsvg may round up a pixel).
    const QList<QByteArray> svgSize =
        RunReader("identify", {"-format", "%w %h", Path("svg.png")})->split(' ');
    ASSERT_EQ(svgSize.size(), 2);
    EXPECT_NEAR(svgSize[0].toInt(), 800, 1);
    EXPECT_NEAR(svgSize[1].toInt(), 500, 1);
    EXPECT_TRUE(ReadAll(Path("chart.svg")).contains("Test Chart Title"));
    const auto pdf = RunReader("pdftotext", {Path("chart.pdf"), "-"});
    ASSERT_TRUE(pdf.has_value());
    EXPECT_TRUE(pdf->contains("Test Chart Title"));

    // The print path: one page within margins, read back from the PDF printer.
    ASSERT_TRUE(PrintChartToPdf(&chart, Path("printed.pdf")));
    const QByteArray printed = *RunReader("pdftotext", {Path("printed.pdf"), "-"});
    EXPECT_TRUE(printed.contains("Test Chart Title")) << printed.left(300).toStdString();
    const auto info = RunReader("pdfinfo", {Path("printed.pdf")});
    if (info) {
        EXPECT_TRUE(info->contains("Pages:           1"));
    }
}

TEST_F(GraphDiaTest, OtherExtensionsAreRefusedAndNothingIsWritten) {
    for (const char* name : {"chart.jpeg", "chart.txt", "chart"}) {
        recorder.Messages.clear();
        EXPECT_FALSE(SaveChartAs(&chart, Path(name))) << name;
        ASSERT_EQ(recorder.Messages.size(), 1u) << name;
        EXPECT_EQ(recorder.Messages[0].text, "File Extension Not Valid!");
        EXPECT_FALSE(QFileInfo::exists(Path(name)));
    }
    // A folder that does not exist: a message, not success.
    recorder.Messages.clear();
    EXPECT_FALSE(SaveChartAs(&chart, Path("missing/chart.png")));
    EXPECT_EQ(recorder.Messages.size(), 1u);
}

TEST_F(GraphDiaTest, CopyPutsAnImageSvgAndEmfOnTheClipboard) {
    CopyChart(&chart);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_TRUE(mime->data("image/svg+xml").contains("Test Chart Title"));
    EXPECT_EQ(mime->data("image/x-emf").mid(40, 4), QByteArray(" EMF"));
}

// Picks a file type and types a name in the save dialog, as a user would.
void ChooseInSaveDialog(const QString& filter, const QString& typed) {
    OnModal<QFileDialog>([filter, typed](QFileDialog& dialog) {
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        const int index = types->findText(filter);
        ASSERT_GE(index, 0) << filter.toStdString();
        types->setCurrentIndex(index);
        emit types->activated(index);
        emit types->textActivated(filter);
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

TEST_F(GraphDiaTest, SaveAsWritesTheFileTypeChosenInTheDialog) {
    ChooseInSaveDialog("PNG Images (*.png)", Path("chart"));
    SaveChart(&chart);
    ChooseInSaveDialog("JPEG Images (*.jpg)", Path("photo"));
    OnModal<TJpegOptionsDialog>([](TJpegOptionsDialog& dialog) { dialog.accept(); });
    SaveChart(&chart);
    // A name with an extension of ours keeps it; "All" adds the first type's.
    ChooseInSaveDialog("PNG Images (*.png)", Path("drawing.svg"));
    SaveChart(&chart);
    ChooseInSaveDialog("All (*.emf *.wmf *.bmp *.jpg *.png *.svg *.pdf)", Path("plain"));
    SaveChart(&chart);
    EXPECT_TRUE(recorder.Messages.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"chart.png", "drawing.svg", "photo.jpg", "plain.emf"}));
    EXPECT_TRUE(ReadAll(Path("drawing.svg")).contains("<svg"));
    EXPECT_EQ(ReadAll(Path("plain.emf")).mid(40, 4), QByteArray(" EMF"));
    const auto png = RunReader("identify", {"-format", "%m %w %h", Path("chart.png")});
    if (!png) GTEST_SKIP() << "identify is not installed";
    EXPECT_EQ(*png, "PNG 800 500");
    EXPECT_EQ(*RunReader("identify", {"-format", "%m %w %h", Path("photo.jpg")}), "JPEG 800 500");
}

TEST_F(GraphDiaTest, TheChosenTypeNamesTheFileUnlessTheNameHasAnExtensionOfOurs) {
    const QString emf = "Enhanced Metafiles (*.emf)";
    const QString png = "PNG Images (*.png)";
    const QString jpg = "JPEG Images (*.jpg)";
    const QString all = "All (*.emf *.wmf *.bmp *.jpg *.png *.svg *.pdf)";
    ASSERT_EQ(ChartSaveFilters().front(), emf);
    ASSERT_EQ(ChartSaveFilters().back(), all);
    struct Case {
        QString typed, filter, saved;
    };
    const Case cases[] = {
        {"chart", png, "chart.png"},
        {"Chart.PDF", emf, "Chart.PDF"},
        {"chart.wmf", png, "chart.wmf"},
        {"run 1.5", png, "run 1.5.png"},
        {"photo.jpeg", jpg, "photo.jpeg.jpg"},
        {"trailing.", "Bitmaps (*.bmp)", "trailing.bmp"},
        {"any", all, "any.emf"},
        {"other", "All Files (*)", "other.emf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChartSavePath(Path(c.typed), c.filter), Path(c.saved)) << c.typed.toStdString();

    // The dialog asked about "chart", not about the "chart.png" it becomes.
    {
        QFile old(Path("chart.png"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("keep me");
    }
    recorder.Answers = {Answer::No};
    EXPECT_FALSE(SaveChosenChart(&chart, Path("chart"), png));
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].text, "chart.png already exists.\nDo you want to replace it?");
    EXPECT_EQ(ReadAll(Path("chart.png")), "keep me");
    recorder.Answers = {Answer::Yes};
    EXPECT_TRUE(SaveChosenChart(&chart, Path("chart"), png));
    EXPECT_TRUE(ReadAll(Path("chart.png")).startsWith("\x89PNG"));
}

TEST_F(GraphDiaTest, EveryFormatHasTheChartsSize) {
    // 800 x 500 pixels at 96 per inch: 8.333 x 5.208 inches, 600 x 375 points, 211.67 mm wide.
    for (const char* name :
         {"chart.emf", "chart.wmf", "chart.bmp", "chart.jpg", "chart.png", "chart.svg", "chart.pdf"})
        ASSERT_TRUE(SaveChartAs(&chart, Path(name))) << name;
    const QByteArray emf = ReadAll(Path("chart.emf"));
    // The header's frame (left, top, right, bottom after the bounds) in hundredths of a
    // millimetre, inclusive.
    EXPECT_NEAR((qFromLittleEndian<qint32>(emf.constData() + 32) + 1) / 100.0, 211.67, 0.02);
    EXPECT_NEAR((qFromLittleEndian<qint32>(emf.constData() + 36) + 1) / 100.0, 132.29, 0.02);
    const QByteArray wmf = ReadAll(Path("chart.wmf"));
    // The placeable header: right and bottom in units of which "inch" make an inch.
    const double inch = qFromLittleEndian<quint16>(wmf.constData() + 14);
    EXPECT_NEAR(qFromLittleEndian<qint16>(wmf.constData() + 10) / inch, 8.333, 0.001);
    EXPECT_NEAR(qFromLittleEndian<qint16>(wmf.constData() + 12) / inch, 5.208, 0.001);
    const QRegularExpression svgSize(R"(width="([\d.]+)mm" height="([\d.]+)mm")");
    const QRegularExpressionMatch svg = svgSize.match(QString::fromUtf8(ReadAll(Path("chart.svg"))));
    ASSERT_TRUE(svg.hasMatch());
    EXPECT_NEAR(svg.captured(1).toDouble(), 211.67, 0.01);
    EXPECT_NEAR(svg.captured(2).toDouble(), 132.29, 0.01);

    const auto pdf = RunReader("pdfinfo", {Path("chart.pdf")});
    if (!pdf) GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_TRUE(QString::fromUtf8(*pdf).contains(QRegularExpression("Page size: +600 x 375 pts")))
        << pdf->toStdString();
    // The drawing fills the page: the rendered page has the chart's pixels.
    ASSERT_TRUE(RunReader("pdftoppm", {"-r", "96", "-png", "-singlefile", Path("chart.pdf"), Path("pdf")}));
    const auto rendered = RunReader("identify", {"-format", "%w %h", Path("pdf.png")});
    if (!rendered) GTEST_SKIP() << "identify is not installed";
    EXPECT_EQ(*rendered, "800 500");
    // Images state 96 pixels per inch (PNG and BMP per centimetre: 37.8).
    for (const char* name : {"chart.bmp", "chart.jpg", "chart.png"}) {
        const QList<QByteArray> density = RunReader("identify", {"-format", "%x %U", Path(name)})->split(' ');
        ASSERT_EQ(density.size(), 2) << name;
        const double perInch =
            density[1] == "PixelsPerCentimeter" ? density[0].toDouble() * 2.54 : density[0].toDouble();
        EXPECT_EQ(density[1] == "Undefined", false) << name;
        EXPECT_NEAR(perInch, 96, 0.1) << name;
    }
}

TEST_F(GraphDiaTest, JpegAtHighQualityKeepsTheColourAtFullResolution) {
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.png")));
    ASSERT_TRUE(SaveChartAs(&chart, Path("q95.jpg"), {95, false, false}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("q90.jpg"), {90, false, true}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("q75.jpg"), {75, false, false}));
    const auto sampling = [this](const char* name) {
        return *RunReader("identify", {"-format", "%[jpeg:sampling-factor]", Path(name)});
    };
    if (!RunReader("identify", {"-version"})) GTEST_SKIP() << "identify is not installed";
    // Horizontal x vertical samples of each component: 2x2 halves the colour both ways.
    EXPECT_EQ(sampling("q95.jpg"), "1x1,1x1,1x1");
    EXPECT_EQ(sampling("q90.jpg"), "1x1,1x1,1x1");
    EXPECT_EQ(sampling("q75.jpg"), "2x2,1x1,1x1") << "lower qualities keep the smaller files";
    // Against the lossless picture: 29 dB with the colour halved, 46 dB with it kept (compare
    // prints the peak signal-to-noise ratio).
    const auto psnr = RunTool("compare", {"-metric", "PSNR", Path("chart.png"), Path("q95.jpg"), "null:"});
    ASSERT_TRUE(psnr.has_value());
    EXPECT_GT(psnr->trimmed().toDouble(), 40) << psnr->toStdString();
}

// ---- Text of Windows metafiles --------------------------------------------------------------

// The text of a run in a character set's code page, read by the system's converter (iconv); the
// Symbol font by its encoding (its font metrics name 0xA3 "lessequal").
QString DecodeRun(int charset, const QByteArray& bytes) {
    if (charset == 2) {
        QString text;
        for (char c : bytes)
            text += static_cast<unsigned char>(c) == 0xA3 ? QChar(0x2264) : QChar('#');
        return text;
    }
    const char* page = charset == 0     ? "CP1252"
                       : charset == 161 ? "CP1253"
                       : charset == 162 ? "CP1254"
                       : charset == 186 ? "CP1257"
                       : charset == 204 ? "CP1251"
                       : charset == 238 ? "CP1250"
                                        : nullptr;
    if (!page) return QString("<charset %1>").arg(charset);
    iconv_t converter = iconv_open("UTF-8", page);
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 4, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = static_cast<std::size_t>(in.size());
    std::size_t room = static_cast<std::size_t>(out.size());
    const bool ok = iconv(converter, &from, &left, &to, &room) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok) return "<undecodable>";
    return QString::fromUtf8(out.constData(), to - out.constData());
}

struct TWmfText {
    int Charset;
    QByteArray Bytes;
    int X, Y;
    QString Text;
};

// The text records of a placeable Windows metafile with the character set of the font selected
// for each, the object table kept as a reader keeps it.
std::vector<TWmfText> WmfTexts(const QByteArray& wmf) {
    std::vector<TWmfText> texts;
    std::vector<std::optional<int>> objects; // a font's charset, -1 for other objects
    std::optional<int> charset;
    qsizetype at = 22 + 18;
    const auto word = [&wmf](qsizetype offset) {
        return qFromLittleEndian<quint16>(wmf.constData() + offset);
    };
    while (at + 6 <= wmf.size()) {
        const qsizetype size = 2 * static_cast<qsizetype>(qFromLittleEndian<quint32>(wmf.constData() + at));
        const int function = word(at + 4);
        const qsizetype body = at + 6;
        if (function == 0 || size < 6) break;
        if (function == 0x02FA || function == 0x02FC || function == 0x02FB) {
            const std::optional<int> object =
                function == 0x02FB ? static_cast<int>(static_cast<quint8>(wmf[body + 13])) : -1;
            auto free = std::find(objects.begin(), objects.end(), std::nullopt);
            if (free == objects.end())
                objects.push_back(object);
            else
                *free = object;
        } else if (function == 0x012D) {
            const std::optional<int> object = objects.at(word(body));
            if (object && *object >= 0) charset = *object;
        } else if (function == 0x01F0) {
            objects.at(word(body)).reset();
        } else if (function == 0x0521) {
            const int length = word(body);
            const qsizetype coordinates = body + 2 + (length + 1) / 2 * 2;
            const QByteArray bytes = wmf.mid(body + 2, length);
            texts.push_back({charset.value_or(-1), bytes, static_cast<qint16>(word(coordinates + 2)),
                             static_cast<qint16>(word(coordinates)), DecodeRun(charset.value_or(-1), bytes)});
        }
        at += size;
    }
    return texts;
}

// The records that together write `line`, in order; none when no such records follow each other.
// Blanks do not count: a text's leading blanks are written as a shift of its start.
std::vector<TWmfText> RecordsOf(const std::vector<TWmfText>& texts, QString line) {
    line.remove(' ');
    for (std::size_t first = 0; first < texts.size(); ++first) {
        QString joined;
        for (std::size_t last = first; last < texts.size(); ++last) {
            joined += QString(texts[last].Text).remove(' ');
            if (!line.startsWith(joined)) break;
            if (joined == line)
                return {texts.begin() + static_cast<std::ptrdiff_t>(first),
                        texts.begin() + static_cast<std::ptrdiff_t>(last + 1)};
        }
    }
    return {};
}

TEST(MetafileTextTest, RunsTakeACharacterSetThatHoldsTheirCharacters) {
    struct Run {
        int charset;
        QByteArray bytes;
        qsizetype first, length;
        bool substituted = false; // a base letter or "?" stands for the text
    };
    struct Case {
        QString text;
        std::vector<Run> runs;
    };
    // Bytes from the code page tables (1253: sigma 0xF3; 1251: Zhe 0xC6; 1250: o double acute
    // 0xF5; 1252: euro sign 0x80) and the Symbol encoding (less-or-equal 0xA3).
    const Case cases[] = {
        {"Mean", {{0, "Mean", 0, 4}}},
        {QString::fromUtf8("€ 5"), {{0, "\x80 5", 0, 3}}},
        // A run keeps the characters its set also holds.
        {QString::fromUtf8("σ = 0.5"), {{161, "\xF3 = 0.5", 0, 7}}},
        {QString::fromUtf8("x σ"), {{0, "x ", 0, 2}, {161, "\xF3", 2, 1}}},
        {QString::fromUtf8("Ж σ ő"), {{204, "\xC6 ", 0, 2}, {161, "\xF3 ", 2, 2}, {238, "\xF5", 4, 1}}},
        // The Symbol font's letters are Greek: only its signs go there.
        {QString::fromUtf8("≤ 5"), {{2, "\xA3", 0, 1}, {0, " 5", 1, 2}}},
        // A base letter, else a question mark; a pair of surrogates is one character.
        {QString::fromUtf8("ṡ"), {{0, "s", 0, 1, true}}},
        {QString::fromUtf8("σ漢"), {{161, "\xF3?", 0, 2, true}}},
        {QString::fromUtf8("a😀b"), {{0, "a?b", 0, 4, true}}},
        {QString::fromUtf8("≤漢"), {{2, "\xA3", 0, 1}, {0, "?", 1, 1, true}}},
    };
    for (const Case& c : cases) {
        const std::vector<TCharsetRun> runs = CharsetRuns(c.text);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.text.toStdString();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].Charset, c.runs[i].charset) << c.text.toStdString() << " run " << i;
            EXPECT_EQ(runs[i].Bytes, c.runs[i].bytes) << c.text.toStdString() << " run " << i;
            EXPECT_EQ(runs[i].First, c.runs[i].first) << c.text.toStdString() << " run " << i;
            EXPECT_EQ(runs[i].Length, c.runs[i].length) << c.text.toStdString() << " run " << i;
            // The system's converter reads the bytes back as the text.
            if (c.runs[i].substituted) continue;
            EXPECT_EQ(DecodeRun(runs[i].Charset, runs[i].Bytes), c.text.mid(runs[i].First, runs[i].Length))
                << c.text.toStdString() << " run " << i;
        }
    }
}

TEST_F(GraphDiaTest, WmfWritesTextBeyondWesternEuropeInCharacterSetsThatHoldIt) {
    TChartScene scene = ThousandPoints();
    const QString title = QString::fromUtf8("σ chart: Ж ő ≤ 5 漢");
    scene.TitleLines = {title.toStdString()};
    scene.Panels[0].Y.Title = "σ of Mean";
    chart.SetScene(scene);
    chart.replot();
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.wmf")));
    const std::vector<TWmfText> texts = WmfTexts(ReadAll(Path("chart.wmf")));

    // Read back through each font's character set; no set holds the Chinese character.
    const std::vector<TWmfText> line = RecordsOf(texts, QString::fromUtf8("σ chart: Ж ő ≤ 5 ?"));
    ASSERT_GE(line.size(), 4u) << "Greek, Cyrillic, Central European and Symbol runs";
    std::vector<int> charsets;
    for (std::size_t i = 0; i < line.size(); ++i) {
        charsets.push_back(line[i].Charset);
        // Each run starts after the one before it on the same baseline.
        if (i == 0) continue;
        EXPECT_EQ(line[i].Y, line[0].Y);
        EXPECT_GT(line[i].X, line[i - 1].X + 4 * (line[i - 1].Bytes.size() - 1)) << "run " << i;
    }
    for (int charset : {161, 204, 238, 2})
        EXPECT_NE(std::find(charsets.begin(), charsets.end(), charset), charsets.end()) << charset;
    // The axis title reads upwards: its runs follow each other up the same vertical.
    const std::vector<TWmfText> axis = RecordsOf(texts, QString::fromUtf8("σ of Mean"));
    ASSERT_GE(axis.size(), 2u);
    EXPECT_EQ(axis[0].Charset, 161);
    for (std::size_t i = 1; i < axis.size(); ++i) {
        EXPECT_EQ(axis[i].X, axis[0].X);
        EXPECT_LT(axis[i].Y, axis[i - 1].Y);
    }

    // The metafile reader places one text for each record, with the record's bytes.
    const auto converted = RunReader("wmf2svg", {"-o", Path("wmf.svg"), Path("chart.wmf")});
    if (!converted) GTEST_SKIP() << "wmf2svg is not installed";
    const QByteArray svg = ReadAll(Path("wmf.svg"));
    qsizetype from = 0;
    for (const TWmfText& text : line) {
        from = svg.indexOf(">" + text.Bytes + "</text>", from);
        EXPECT_GE(from, 0) << text.Text.toStdString();
    }
}

} // namespace
