#include <cstdint>
#include <string>

#include "appinfo.h"
#include "console.h"
#include "failure.h"
#include "modmain.h"
#include "support.h"

namespace modMain {

void ShowUsage() {
  // Everything is gathered before anything is written, so that a failure leaves no partial text.
  std::u16string title = App::Title();
  const std::int16_t major = App::Major();
  const std::int16_t minor = App::Minor();
  const std::int16_t revision = App::Revision();
  std::u16string copyright = App::LegalCopyright();

  runtime::Check(ksAnsiToOem(title));
  std::u16string version;
  runtime::Check(ksFormatVersion(major, minor, revision, version));
  runtime::Check(ksAnsiToOem(copyright));
  // The name, like the title and the copyright, in the console's code page: on Windows a name
  // outside ASCII would come out garbled, or in two code pages within one text.
  std::u16string exeName = App::EXEName();
  runtime::Check(ksAnsiToOem(exeName));

  ConsoleWrite(title + u" " + version + u"\r\n" +                         //
               copyright + u"\r\n" +                                      //
               u"\r\n" +                                                  //
               u"Usage: " + exeName + u"[.EXE] Interval\r\n" + u"\r\n" +  //
               u"  Interval - Number of miliseconds to wait.\r\n" +
               u"             Must be greather or equal zero.\r\n" +
               u"             Can't be INFINITE.\r\n");
}

}  // namespace modMain
