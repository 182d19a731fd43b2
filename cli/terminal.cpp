#include "terminal.h"

#include <unistd.h>

namespace zelk::cli {

bool StderrIsTerminal() {
    return isatty(2) != 0;
}

}  // namespace zelk::cli
