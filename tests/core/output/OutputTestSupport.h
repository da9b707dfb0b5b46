// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the output tests: a fixture with a fresh output module and a text device that
// records what is drawn, with fixed metrics.
#pragma once

#include "CoreFixture.h"
#include "app/TextTools.h"
#include "output/OutputModule.h"

#include <cmath>
#include <map>
#include <string>
#include <vector>

class OutputTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        kivspc::ResetOutputModule();
    }
    void TearDown() override {
        kivspc::ResetOutputModule();
        CoreTest::TearDown();
    }
};

// Every character is as wide as the font's size in points and twice as high, in pixels; single
// characters can be given their own width. 100 pixels per inch, a letter page by default.
class RecordingTextDevice : public kivspc::TextDevice {
public:
    struct Drawn {
        int page;
        int x;
        int y;
        std::string text;
        kivspc::TOutputFont font;
    };

    int TextWidth(std::string_view text, const kivspc::TOutputFont& font) override {
        int width = 0;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t length = kivspc::CharPrefix(text.substr(i), 1).size();
            auto special = Widths.find(std::string(text.substr(i, length)));
            width += special != Widths.end() ? special->second : CharWidth(font);
            i += length;
        }
        return width;
    }
    int TextHeight(std::string_view, const kivspc::TOutputFont& font) override {
        return static_cast<int>(std::nearbyint(2 * font.Size));
    }
    int AverageCharWidth(const kivspc::TOutputFont& font) override { return CharWidth(font); }
    void DrawText(int x, int y, std::string_view text, const kivspc::TOutputFont& font) override {
        Drawings.push_back({Page, x, y, std::string(text), font});
    }
    int PageWidth() override { return Width; }
    int PageHeight() override { return Height; }
    int DpiX() override { return Dpi; }
    int DpiY() override { return Dpi; }
    int OffsetX() override { return OffX; }
    int OffsetY() override { return OffY; }
    void NewPage() override { ++Page; }
    std::string DateText() override { return Date; }

    static int CharWidth(const kivspc::TOutputFont& font) {
        return static_cast<int>(std::nearbyint(font.Size));
    }

    // The texts drawn on a page, in drawing order.
    std::vector<std::string> TextsOn(int page) const {
        std::vector<std::string> texts;
        for (const Drawn& d : Drawings) {
            if (d.page == page) texts.push_back(d.text);
        }
        return texts;
    }

    int Width = 850;
    int Height = 1100;
    int Dpi = 100;
    int OffX = 0;
    int OffY = 0;
    int Page = 1;
    std::string Date = "06/05/2024";
    std::map<std::string, int> Widths;
    std::vector<Drawn> Drawings;
};
