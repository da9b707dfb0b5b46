// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/QtTextDevice.h"

#include "output/OutputRichEdit.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace kivspc::gui {

namespace {
QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

QtTextDevice::QtTextDevice(QPainter& painter, QPrinter& printer) : painter_(painter), printer_(printer) {
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.setBrush(Qt::white);
}

int QtTextDevice::TextWidth(std::string_view text, const TOutputFont& font) {
    return QFontMetrics(TOutputRichEdit::ToQFont(font), &printer_).horizontalAdvance(ToQString(text));
}

int QtTextDevice::TextHeight(std::string_view, const TOutputFont& font) {
    return QFontMetrics(TOutputRichEdit::ToQFont(font), &printer_).height();
}

int QtTextDevice::AverageCharWidth(const TOutputFont& font) {
    return std::max(1, QFontMetrics(TOutputRichEdit::ToQFont(font), &printer_).averageCharWidth());
}

void QtTextDevice::DrawText(int x, int y, std::string_view text, const TOutputFont& font) {
    const QFont f(TOutputRichEdit::ToQFont(font), &printer_);
    painter_.setFont(f);
    painter_.setPen(QColor::fromRgb(static_cast<QRgb>(font.Color)));
    painter_.drawText(x, y + QFontMetrics(f, &printer_).ascent(), ToQString(text));
}

int QtTextDevice::PageWidth() { return printer_.pageLayout().paintRectPixels(printer_.resolution()).width(); }

int QtTextDevice::PageHeight() {
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

int QtTextDevice::DpiX() { return printer_.logicalDpiX(); }

int QtTextDevice::DpiY() { return printer_.logicalDpiY(); }

int QtTextDevice::OffsetX() {
    const int dpi = printer_.resolution();
    return printer_.pageLayout().paintRectPixels(dpi).left() -
           printer_.pageLayout().fullRectPixels(dpi).left();
}

int QtTextDevice::OffsetY() {
    const int dpi = printer_.resolution();
    return printer_.pageLayout().paintRectPixels(dpi).top() - printer_.pageLayout().fullRectPixels(dpi).top();
}

void QtTextDevice::NewPage() { printer_.newPage(); }

std::string QtTextDevice::DateText() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

} // namespace kivspc::gui
