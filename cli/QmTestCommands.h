#pragma once

namespace vemro {

class CliRegistry;

// "qmtest NAME", "qmtest list NAME" and "project write NAME": the production test and the
// programming of a whole project at the console, on the production test's core.
void registerQmTestCommands(CliRegistry& registry);

} // namespace vemro
