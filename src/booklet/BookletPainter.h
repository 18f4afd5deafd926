// Draws the stability booklet's pages with QPainter: the title page, the
// contents, and each page of the layout with its header and page number,
// the tables as ruled grids and the charts as vectors. On a PDF writer for
// the file, on a printer for the preview and the paper.
#pragma once

#include "Booklet.h"

#include <QByteArray>

class QPagedPaintDevice;

// Every page on device, A4 portrait, full page (no margins of the device's
// own); the device's first page must be fresh. False when the painter could
// not be opened on it.
bool PaintBooklet(const CBooklet& booklet, const CBookletLayout& layout,
                  QPagedPaintDevice& device);

// The booklet as the bytes of a PDF file (empty when it could not be
// drawn), titled in its properties by the booklet's title and ship.
QByteArray BookletPdf(const CBooklet& booklet, const CBookletLayout& layout);
