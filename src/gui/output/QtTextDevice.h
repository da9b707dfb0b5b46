// SPDX-License-Identifier: GPL-3.0-or-later
// The printer text device over a QPainter drawing on a QPrinter.
#pragma once

#include "output/MPrinters.h"

class QPainter;
class QPrinter;

namespace kivspc::gui {

class QtTextDevice : public TextDevice {
public:
    QtTextDevice(QPainter& painter, QPrinter& printer);

    int TextWidth(std::string_view text, const TOutputFont& font) override;
    int TextHeight(std::string_view text, const TOutputFont& font) override;
    int AverageCharWidth(const TOutputFont& font) override;
    void DrawText(int x, int y, std::string_view text, const TOutputFont& font) override;
    int PageWidth() override;
    int PageHeight() override;
    int DpiX() override;
    int DpiY() override;
    int OffsetX() override;
    int OffsetY() override;
    void NewPage() override;
    std::string DateText() override;

private:
    QPainter& painter_;
    QPrinter& printer_;
};

} // namespace kivspc::gui
