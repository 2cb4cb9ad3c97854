// What every program does with the session it makes: enters the function
// library and connects the session to the disk.
#pragma once

namespace tw {

class Session;

Session& prepareSession(Session& session);

}  // namespace tw
