#include "files/state_json.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>
#include <tuple>
#include <vector>

#include "image/setting_lists.h"
#include "image/storable_values.h"

namespace r7 {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <std::size_t N>
QJsonArray Texts(const std::array<std::string, N>& list) {
    QJsonArray out;
    for (const auto& s : list) out.append(Q(s));
    return out;
}

struct IntegerKey {
    const char* key;
    int EditorState::*field;
    int lo, hi;
};
const IntegerKey kIntegerKeys[] = {
    {"PowerHigh", &EditorState::PowerHigh, 0, 255},
    {"PowerLow", &EditorState::PowerLow, 0, 255},
    {"ServiceUnlocked", &EditorState::ServiceUnlocked, 0, 1},
    {"UnlockClick1", &EditorState::UnlockClick1, -1, 1},
    {"UnlockClick2", &EditorState::UnlockClick2, -1, 1},
    {"UnlockClick3", &EditorState::UnlockClick3, -1, 1},
    {"UnlockClickTime", &EditorState::UnlockClickTime, 0, 86400},
    {"KeyPF1", &EditorState::KeyPF1, -32768, 32767},
    {"KeyPF2", &EditorState::KeyPF2, -32768, 32767},
};

// Reads key by key into the state; the first key that cannot be read leaves its message.
struct Reader {
    const QJsonObject& json;
    QString error;

    bool fail(const QString& key, const QString& what) {
        error = QStringLiteral("\"%1\": %2").arg(key, what);
        return false;
    }

    bool integer(const QString& key, int* out, int lo, int hi) {
        if (!json.contains(key)) return true;
        QJsonValue v = json.value(key);
        double d = v.toDouble();
        if (!v.isDouble() || d != static_cast<double>(static_cast<long long>(d))) {
            return fail(key, QStringLiteral("expected a whole number"));
        }
        if (d < lo || d > hi) {
            return fail(key, QStringLiteral("expected a number from %1 to %2").arg(lo).arg(hi));
        }
        *out = static_cast<int>(d);
        return true;
    }

    bool texts(const QJsonArray& array, const QString& key, std::string* out, int count) {
        if (array.size() != count) {
            return fail(key, QStringLiteral("expected %1 texts").arg(count));
        }
        for (int i = 0; i < count; ++i) {
            if (!array.at(i).isString()) return fail(key, QStringLiteral("expected texts"));
            out[i] = array.at(i).toString().toStdString();
        }
        return true;
    }

    template <std::size_t N>
    bool textList(const QString& key, std::array<std::string, N>& out) {
        if (!json.contains(key)) return true;
        if (!json.value(key).isArray()) return fail(key, QStringLiteral("expected a list"));
        return texts(json.value(key).toArray(), key, out.data(), static_cast<int>(N));
    }

    template <std::size_t Rows, std::size_t Cols>
    bool table(const QString& key, std::array<std::array<std::string, Cols>, Rows>& out) {
        if (!json.contains(key)) return true;
        QJsonValue v = json.value(key);
        if (!v.isArray() || v.toArray().size() != static_cast<qsizetype>(Rows)) {
            return fail(key, QStringLiteral("expected %1 rows").arg(Rows));
        }
        QJsonArray rows = v.toArray();
        for (std::size_t r = 0; r < Rows; ++r) {
            if (!rows.at(r).isArray()) return fail(key, QStringLiteral("expected rows of texts"));
            if (!texts(rows.at(r).toArray(), key, out[r].data(), static_cast<int>(Cols)))
                return false;
        }
        return true;
    }
};

// Edits (insert, delete, change) that turn one key into the other, letter case aside.
qsizetype EditDistance(const QString& a, const QString& b) {
    std::vector<qsizetype> row(static_cast<std::size_t>(b.size()) + 1);
    for (qsizetype j = 0; j <= b.size(); ++j) row[static_cast<std::size_t>(j)] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const auto at = static_cast<std::size_t>(j);
            const qsizetype change = diagonal + (a[i - 1].toLower() == b[j - 1].toLower() ? 0 : 1);
            diagonal = row[at];
            row[at] = std::min({row[at] + 1, row[at - 1] + 1, change});
        }
    }
    return row.back();
}

// A key nobody reads would be dropped without a word ("Rows" for "rows"): each is named,
// with the known key nearest to it when one is near enough to be meant.
QStringList UnknownKeys(const QJsonObject& json, const QStringList& known) {
    QStringList lines;
    for (const QString& key : json.keys()) {
        if (known.contains(key)) continue;
        QString nearest;
        qsizetype best = std::max<qsizetype>(2, key.size() / 3) + 1;
        for (const QString& candidate : known) {
            if (const qsizetype d = EditDistance(key, candidate); d < best)
                std::tie(best, nearest) = std::tuple(d, candidate);
        }
        lines << (nearest.isEmpty() ? QStringLiteral("\"%1\": unknown key").arg(key)
                                    : QStringLiteral("\"%1\": unknown key; did you mean \"%2\"?")
                                          .arg(key, nearest));
    }
    return lines;
}

}  // namespace

QJsonObject StateToJson(const EditorState& s) {
    QJsonObject json;
    QJsonArray rows;
    for (const auto& row : s.rows) rows.append(Texts(row));
    json["rows"] = rows;
    for (int n = 1; n <= kComboCount; ++n) json[QStringLiteral("Combo%1").arg(n)] = s.combo(n);
    for (const IntegerKey& k : kIntegerKeys) json[k.key] = s.*k.field;
    json["OptionValues"] = Texts(s.OptionValues);
    json["DtmfValues"] = Texts(s.DtmfValues);
    json["DtmfMemories"] = Texts(s.DtmfMemories);
    QJsonArray tests;
    for (const auto& pair : s.TestFrequencies) tests.append(Texts(pair));
    json["TestFrequencies"] = tests;
    json["InfoTexts"] = Texts(s.InfoTexts);
    return json;
}

StateJsonResult StateFromJson(const QJsonObject& json, const EditorState& base) {
    if (const QStringList unknown = UnknownKeys(json, StateToJson(base).keys()); !unknown.empty())
        return Unexpected(unknown.join(QLatin1Char('\n')));
    EditorState s = base;
    Reader in{json, {}};
    bool read = in.table("rows", s.rows);
    for (int n = 1; read && n <= kComboCount; ++n) {
        const int last = static_cast<int>(ComboEntries(n).size()) - 1;
        read = in.integer(QStringLiteral("Combo%1").arg(n), &s.combo(n), 0, last);
    }
    for (const IntegerKey& k : kIntegerKeys)
        read = read && in.integer(k.key, &(s.*k.field), k.lo, k.hi);
    read = read && in.textList("OptionValues", s.OptionValues) &&
           in.textList("DtmfValues", s.DtmfValues) && in.textList("DtmfMemories", s.DtmfMemories) &&
           in.table("TestFrequencies", s.TestFrequencies) && in.textList("InfoTexts", s.InfoTexts);
    if (!read) return Unexpected(in.error);
    const std::vector<UnstorableValue> refused = UnstorableValues(s);
    if (refused.empty()) return s;
    QStringList lines;
    for (const UnstorableValue& value : refused) lines << Q(value.describe());
    return Unexpected(lines.join(QLatin1Char('\n')));
}

}  // namespace r7
