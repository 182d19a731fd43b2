// The resources window as data: what the Win32 window of class "TNeed" lists.
#pragma once

#include <string>
#include <vector>

namespace zelk {

// Its list box holds the needed resources of the last file that had any.
struct TNeed {
    std::vector<std::string> ComboRes;
    bool visible = false;
};

}  // namespace zelk
