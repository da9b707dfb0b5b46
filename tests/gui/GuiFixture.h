// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Application.h"
#include "app/QtPlatform.h"
#include "data/DataForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QString>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Each test starts with an empty settings store and the Qt platform installed.
class GuiTest : public testing::Test {
protected:
    void SetUp() override {
        QDir(configHome + "/Kiv Programs").removeRecursively();
        // The data editor of an earlier test holds hooks into the state reset below.
        kivspc::gui::ReleaseDataForm();
        kivspc::SetPlatform(&platform);
        kivspc::gui::InitProgramState();
    }
    void TearDown() override { kivspc::SetPlatform(nullptr); }

    static QString SettingsFile() { return configHome + "/Kiv Programs/Kivspc.conf"; }

    kivspc::gui::QtPlatform platform;

public:
    static QString configHome;
};

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// The child of `parent` of type T named `name` (any name when empty). A missing child ends the test
// with a failure that names it, where a null pointer would crash the whole run. For test bodies
// only: an exception must not pass through a Qt callback, so there use ASSERT_NE(..., nullptr).
template <class T> T* Child(const QObject* parent, const QString& name = {}) {
    T* child = parent ? parent->findChild<T*>(name) : nullptr;
    if (!child) {
        throw std::runtime_error(std::string("no ") + T::staticMetaObject.className() + " named \"" +
                                 name.toStdString() + "\" in " +
                                 (parent ? parent->metaObject()->className() : "a null parent"));
    }
    return child;
}

// A table of the given column names and rows of cells, its cache built.
inline void MakeNamedTable(const std::vector<std::string>& names,
                           const std::vector<std::vector<std::string>>& rows) {
    kivspc::NewDataTable();
    kivspc::TDataTable& table = kivspc::DataTable();
    table.SetColumnCount(static_cast<int>(names.size()));
    table.SetRowCount(static_cast<int>(rows.size()));
    for (std::size_t c = 0; c < names.size(); ++c) {
        table.SetColumnName(static_cast<int>(c) + 1, names[c]);
        for (std::size_t r = 0; r < rows.size(); ++r)
            table.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
    }
    kivspc::DataList.MarkAllRowsChanged();
    kivspc::DataList.RebuildValues();
}
