#pragma once

// The channel sheet a dealer hands over with the radio: one page with the file name, the
// date, the channels in use and the general settings and VOX options in words.

#include <QByteArray>
#include <QDate>
#include <QString>

#include "image/editor_state.h"

class QPagedPaintDevice;

namespace r7 {

// The sheet as rich text; `fileName` names the configuration ("" for one never saved).
QString ChannelSheetHtml(const EditorState& state, const QString& fileName, const QDate& date);

// "Channel sheet - FILE.DAT": the title of the sheet's print job and window.
QString ChannelSheetTitle(const QString& fileName);

// Lays the sheet out on the pages of `device` (a printer or a PDF writer) and paints it,
// 15 mm from every edge of the paper whatever margins the device came with.
void PaintChannelSheet(const QString& html, QPagedPaintDevice& device);

// The sheet as a one-page A4 PDF document.
QByteArray ChannelSheetPdf(const QString& html);

}  // namespace r7
