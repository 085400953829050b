#pragma once

namespace navelo {

// Creates the shared state and the platform services, runs start-up and the event loop.
int RunNavelo(int argc, char** argv);

}  // namespace navelo
