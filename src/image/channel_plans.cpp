#include "channel_plans.h"

#include <algorithm>
#include <charconv>

#include "channel_clipboard.h"
#include "setting_lists.h"

namespace r7 {

namespace {

std::string Lower(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' && c != '\t') out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return out;
}

// Where a header names `column`, or -1.
int ColumnOf(const CsvLine& header, std::string_view column) {
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        if (Lower(header.fields[i]) == column) return static_cast<int>(i);
    }
    return -1;
}

bool Given(const CsvLine& line, int column) {
    return column >= 0 && column < static_cast<int>(line.fields.size()) &&
           !Lower(line.fields[column]).empty();
}

std::optional<int> PlanNumber(const CsvLine& line, int column) {
    const std::string text = column >= 0 ? Lower(line.fields.at(column)) : std::string();
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n < 1) return std::nullopt;
    return n;
}

std::string RowText(const ChannelRow& cells) {
    std::string line;
    for (int col = ColReceive; col <= ColScan; ++col)
        line += cells[col] + (col == ColScan ? "\r\n" : "\t");
    return line;
}

std::string Where(int channel, const ChannelPlan& plan, const PlanChannel& on) {
    return "Channel " + ChannelNumberText(channel) + " (" + plan.name + " channel " +
           std::to_string(on.number) + ", " + on.cells[ColReceive] + " MHz): ";
}

const PlanChannel* ChannelOn(const ChannelPlan& plan, const std::string& frequency) {
    for (const PlanChannel& c : plan.channels) {
        if (!frequency.empty() && c.cells[ColReceive] == frequency) return &c;
    }
    return nullptr;
}

}  // namespace

std::vector<int> ChannelPlan::defaultPicks() const {
    std::vector<int> picks;
    for (const PlanChannel& c : channels) {
        if (picks.size() < static_cast<std::size_t>(kChannelCount)) picks.push_back(c.number);
    }
    return picks;
}

const PlanChannel* ChannelPlan::channel(int number) const {
    for (const PlanChannel& c : channels) {
        if (c.number == number) return &c;
    }
    return nullptr;
}

PlanReadResult ReadChannelPlan(std::string name, const std::vector<CsvLine>& lines) {
    const CsvChannelRows mapped = MapCsvRecords(lines, BandLimits{});
    if (!mapped.fault.empty()) return Unexpected(std::vector<std::string>{mapped.fault});
    std::vector<std::string> problems;
    for (const CsvProblem& p : mapped.problems) problems.push_back(p.text());
    const CsvLine& header = lines.front();
    const int location = ColumnOf(header, "location");
    const int mode = ColumnOf(header, "mode");
    const int power = ColumnOf(header, "power");
    ChannelPlan plan{std::move(name), {}};
    for (std::size_t i = 0; i < mapped.rows.size(); ++i) {
        const CsvLine& line = lines[i + 1];
        const std::optional<int> number = PlanNumber(line, location);
        if (!number || plan.channel(*number)) {
            problems.push_back("line " + std::to_string(line.row) +
                               ": Location is not a new plan channel number");
            continue;
        }
        if (!mapped.rows[i]) continue;
        PlanChannel c{*number, *mapped.rows[i], {}, {}};
        if (Given(line, mode)) c.band = c.cells[ColBand];
        if (Given(line, power)) c.power = c.cells[ColPower];
        if (c.band.empty()) c.cells[ColBand] = "Narrow";
        plan.channels.push_back(std::move(c));
    }
    if (plan.channels.empty() && problems.empty())
        problems.emplace_back("the plan has no channels");
    if (!problems.empty()) return Unexpected(std::move(problems));
    return plan;
}

PlanFill FillFromPlan(EditorState& state, const ChannelPlan& plan, const std::vector<int>& picks,
                      BandLimits limits) {
    PlanFill fill;
    if (picks.empty() || picks.size() > static_cast<std::size_t>(kChannelCount)) {
        fill.refusal =
            "pick 1 to 16 channels of the plan; " + std::to_string(picks.size()) + " are picked";
        return fill;
    }
    std::string text;
    for (std::size_t i = 0; i < picks.size(); ++i) {
        const PlanChannel* c = plan.channel(picks[i]);
        if (!c) {
            fill.refusal = plan.name + " has no channel " + std::to_string(picks[i]);
            return fill;
        }
        ChannelRow cells = c->cells;
        const int target = static_cast<int>(i) + 1;
        // Busy Lock and Scan are the user's; a new channel takes the defaults.
        const bool inUse = !state.channelEmpty(target);
        cells[ColBusyLock] = inUse ? state.cell(target, ColBusyLock) : "";
        cells[ColScan] = inUse ? state.cell(target, ColScan) : "";
        text += RowText(cells);
    }
    EditorState next = state;
    const PasteResult pasted = PasteChannelRows(next, {1}, text, limits);
    if (!pasted.ok()) {
        fill.refusal = DescribePasteProblems(pasted.problems);
        return fill;
    }
    // The paste moves a frequency onto the raster; a plan's value is never changed.
    for (std::size_t i = 0; i < picks.size(); ++i) {
        const int target = static_cast<int>(i) + 1;
        const ChannelRow& wanted = plan.channel(picks[i])->cells;
        for (int col : {ColReceive, ColDecode, ColTransmit, ColEncode, ColPower, ColBand}) {
            if (next.cell(target, col) == wanted[col]) continue;
            fill.refusal = "channel " + ChannelNumberText(target) + ": " + wanted[col] +
                           " would be stored as " + next.cell(target, col);
            return fill;
        }
    }
    state = next;
    fill.channels = pasted.channels;
    return fill;
}

std::vector<PlanFinding> CheckAgainstPlan(const EditorState& state, const ChannelPlan& plan) {
    std::vector<PlanFinding> findings;
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        const std::string& rx = state.cell(ch, ColReceive);
        const std::string& tx = state.cell(ch, ColTransmit);
        const PlanChannel* on = ChannelOn(plan, rx);
        if (!on) on = ChannelOn(plan, tx);
        if (!on || rx.empty()) continue;
        const std::string where = Where(ch, plan, *on);
        auto add = [&](const std::string& text) {
            findings.push_back({ch, on->number, where + text});
        };
        const std::string& planTx = on->cells[ColTransmit];
        const bool simplex = planTx == on->cells[ColReceive];
        if (rx != on->cells[ColReceive] || tx != planTx) {
            const auto pair = [](const std::string& receive, const std::string& transmit) {
                return std::string("Receive ")
                    .append(receive)
                    .append(" MHz, Transmit ")
                    .append(transmit)
                    .append(" MHz");
            };
            add(pair(rx, tx)
                    .append("; the plan requires ")
                    .append(simplex
                                ? std::string("Transmit = Receive = ").append(planTx).append(" MHz")
                                : pair(on->cells[ColReceive], planTx)));
        }
        const std::string& band = state.cell(ch, ColBand);
        if (!on->band.empty() && band != on->band)
            add(band + " band; the plan requires " + on->band);
        const std::string& power = state.cell(ch, ColPower);
        if (!on->power.empty() && power != on->power)
            add(power + " power; the plan requires " + on->power);
    }
    return findings;
}

}  // namespace r7
