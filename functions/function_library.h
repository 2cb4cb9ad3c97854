// The @function library: enters every function into the session's function
// table. The program that makes a session calls it once, before anything
// is compiled or loaded.
#pragma once

namespace tw {

class Session;

void installFunctionLibrary(Session& session);

}  // namespace tw
