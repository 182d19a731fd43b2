#pragma once

namespace zelk::cli {

bool StderrIsTerminal();

}  // namespace zelk::cli
