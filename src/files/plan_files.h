#pragma once

// Where channel plans come from: the two that come with the program (PMR446 and FRS, built
// in and also installed beside it as CSV files to copy), and the user's own CSV files in
// "<per-user data folder>/Morvane-R7/plans". Lines that begin with '#' before the header are
// comments (the regulation a plan follows).

#include <QString>
#include <optional>
#include <vector>

#include "files/file_result.h"
#include "image/channel_plans.h"

namespace r7 {

// "<per-user data folder>/Morvane-R7": shared by the window and the command line tool.
QString UserDataFolder();
QString UserPlansFolder();

struct PlanSource {
    QString id;     // "pmr446", "frs", or the path of the user's file
    QString title;  // "PMR446", "FRS", or the file's name without ".csv"
};
// The built-in plans, then the user's, by name.
std::vector<PlanSource> AvailablePlans();

// The plan, or the reason naming the file and every problem.
using PlanLoad = FileReadResult<ChannelPlan>;
// A built-in plan by its id (any case), else the CSV file at `idOrPath`.
PlanLoad LoadPlan(const QString& idOrPath);
// The comment lines at the top of a plan's file, without their '#'.
QString PlanNotes(const QString& idOrPath);

}  // namespace r7
