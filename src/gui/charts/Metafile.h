// SPDX-License-Identifier: GPL-3.0-or-later
// Enhanced metafiles (EMF) and Windows metafiles (WMF, placeable) as a paint device: whatever a
// QPainter draws on it becomes the file's records (pens, brushes, fonts, polylines, polygons,
// rectangles, ellipses, text and clip rectangles), so a chart opens as an editable vector
// picture in office programs. Images are not written.
#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace kivspc::gui {

class TMetafileEngine;

enum class TMetafileFormat { Emf, Wmf };

class TMetafileDevice : public QPaintDevice {
public:
    // A picture of size pixels at the given resolution (dots per inch).
    TMetafileDevice(TMetafileFormat format, QSize size, int dpi = 96);
    ~TMetafileDevice() override;

    QPaintEngine* paintEngine() const override;
    // The finished file; complete once the painter has ended.
    QByteArray Data() const;
    TMetafileFormat Format() const { return format_; }
    QSize Size() const { return size_; }
    int Dpi() const { return dpi_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    TMetafileFormat format_;
    QSize size_;
    int dpi_;
    std::unique_ptr<TMetafileEngine> engine_;
};

} // namespace kivspc::gui
