#include "version_text.h"

namespace r7 {

std::string AboutVersionText(int major, int minor, int revision) {
    return "English:" + std::to_string(major) + "." + std::to_string(minor) +
           std::to_string(revision);
}

}  // namespace r7
