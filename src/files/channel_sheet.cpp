#include "files/channel_sheet.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

#include "image/dialog_lists.h"
#include "image/setting_lists.h"

namespace r7 {

namespace {

QString Html(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// The entry shown at `position` of a list, or the stored value itself when it is not one.
QString Entry(const std::vector<std::string>& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size()))
        return QString::number(position);
    return Html(items[static_cast<std::size_t>(position)]);
}

QString Row(const QString& caption, const QString& value) {
    return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(caption, value);
}

// The general settings as the window lists them, top to bottom.
struct Setting {
    const char* caption;
    int combo;
};
constexpr Setting kSettings[] = {
    {"Model", 1}, {"Language", 2},      {"LauchTime", 3},
    {"Scan", 8},  {"Squelch Grade", 5}, {"Battery Save", 6},
    {"Beep", 7},  {"Radio Return", 9},  {"Radio Switch", 10},
};

// Many printers cannot print near the edge of the paper; the sheet keeps clear of it.
const QMarginsF kSheetMargins(15, 15, 15, 15);

}  // namespace

QString ChannelSheetTitle(const QString& fileName) {
    return fileName.isEmpty() ? QStringLiteral("Channel sheet")
                              : QStringLiteral("Channel sheet - %1").arg(fileName);
}

QString ChannelSheetHtml(const EditorState& state, const QString& fileName, const QDate& date) {
    QString html =
        QStringLiteral(
            "<html><body style=\"font-size:9pt\"><h2>Morvane R7 channel sheet</h2>"
            "<p>File: <b>%1</b> &nbsp;&nbsp; Date: %2</p>")
            .arg(fileName.isEmpty() ? QStringLiteral("(not saved)") : fileName.toHtmlEscaped(),
                 date.toString(Qt::ISODate));

    html += QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (const std::string& header : ChannelHeaders())
        html += QStringLiteral("<th>%1</th>").arg(Html(header));
    html += QStringLiteral("</tr>");
    int used = 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        if (state.channelEmpty(channel)) continue;
        ++used;
        html += QStringLiteral("<tr>");
        for (int column = 0; column < kColumnCount; ++column) {
            html += QStringLiteral("<td align=\"center\">%1</td>")
                        .arg(Html(state.cell(channel, column)));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (used == 0) html += QStringLiteral("<p>No channel is in use.</p>");

    html += QStringLiteral(
        "<table width=\"100%\"><tr><td valign=\"top\"><h3>General settings</h3><table "
        "cellpadding=\"2\">");
    for (const Setting& s : kSettings) {
        html +=
            Row(QString::fromLatin1(s.caption), Entry(ComboEntries(s.combo), state.combo(s.combo)));
    }
    html += QStringLiteral("</table></td><td valign=\"top\"><h3>VOX</h3><table cellpadding=\"2\">");
    for (const OptionalList& list : OptionalLists()) {
        if (!list.visible) continue;
        const int position =
            ListIndexOf(list.form, list.items, ValueOf(state, list.list, list.position));
        html += Row(Html(list.label), Entry(list.items, position));
    }
    for (const OptionalCheck& check : OptionalChecks()) {
        const bool on = CheckedOf(ValueOf(state, ValueList::Option, check.position));
        html += Row(Html(check.caption), on ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    html += QStringLiteral("</table></td></tr></table></body></html>");
    return html;
}

void PaintChannelSheet(const QString& html, QPagedPaintDevice& device) {
    device.setPageMargins(kSheetMargins, QPageLayout::Millimeter);
    QTextDocument document;
    // Latin text set without ligatures: "Off" must be found and copied as it reads, not
    // with an "ff" glyph that PDF readers do not map back to two letters.
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    // Laid out for the device itself, on its page within its margins: otherwise print()
    // adds margins of its own and the table gets too narrow for a frequency.
    document.documentLayout()->setPaintDevice(&device);
    document.setPageSize(device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    document.setDocumentMargin(0);
    document.setHtml(html);
    document.print(&device);
}

QByteArray ChannelSheetPdf(const QString& html) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         kSheetMargins, QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Channel sheet"));
        writer.setCreator(QStringLiteral("Morvane-R7"));
        PaintChannelSheet(html, writer);
    }
    return buffer.data();
}

}  // namespace r7
