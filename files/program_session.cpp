#include "files/program_session.h"

#include "files/worksheet_file.h"
#include "functions/function_library.h"

namespace tw {

Session& prepareSession(Session& session) {
  installFunctionLibrary(session);
  connectFiles(session);
  return session;
}

}  // namespace tw
