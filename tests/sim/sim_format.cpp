// wsprintfW as user32 has it, for the formats the library uses: %s takes a wide text, %% is a
// percent sign. Any other directive is a fault of the caller's, and the sim stops on it.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/windows_api.h"
#include "sim_machine.h"

int wsprintfW(WCHAR* out, const WCHAR* format, ...) {
  sim::Machine::get().enterCall("wsprintfW");
  va_list arguments;
  va_start(arguments, format);
  int written = 0;
  for (const WCHAR* at = format; *at != 0; ++at) {
    if (*at != u'%') {
      out[written++] = *at;
      continue;
    }
    ++at;
    if (*at == u'%') {
      out[written++] = u'%';
    } else if (*at == u's') {
      for (const WCHAR* text = va_arg(arguments, const WCHAR*); *text != 0; ++text) out[written++] = *text;
    } else {
      std::fprintf(stderr, "simulated wsprintfW: unsupported directive in the format\n");
      std::abort();
    }
  }
  out[written] = 0;
  va_end(arguments);
  return written;
}
