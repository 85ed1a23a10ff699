#include "console/session/InterpreterDialect.h"

#include <gtest/gtest.h>

#include "console/session/CommandClassifier.h"

namespace {

constexpr long k324 = 3204;
constexpr long k330 = 3300;
constexpr long k730 = 7300;

struct Form {
  std::string sent;     // as the editor or the program writes it
  std::string adapted;  // as today's interpreter wants it
};

const std::vector<Form> kForms = {
    {"pkg describe all;###", "pkg describe;###"},
    {"dbstop('f',3)", "dbstop('f','3')"},
    {"dbstop(5)", "dbstop('5')"},
    {"dbclear('f',4)", "dbclear('f','4')"},
    {"dbclear(5)", "dbclear('5')"},
    {"dbclear('f',dbstatus('f').line)", "dbclear('f')"},
    {"dbstop('_my_func2',120)", "dbstop('_my_func2','120')"},
    {"dbclear('Ab9',dbstatus('Ab9').line)", "dbclear('Ab9')"},
};

}  // namespace

TEST(InterpreterDialect, TodaysInterpretersGetTheirForms) {
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.sent);
    EXPECT_EQ(AdaptForInterpreter(form.sent, k730), form.adapted);
    EXPECT_EQ(AdaptForInterpreter(form.sent, k330), form.adapted);
  }
}

TEST(InterpreterDialect, Version32AndUnknownVersionsKeepTheOldForms) {
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.sent);
    EXPECT_EQ(AdaptForInterpreter(form.sent, k324), form.sent);
    EXPECT_EQ(AdaptForInterpreter(form.sent, 3299), form.sent);
    EXPECT_EQ(AdaptForInterpreter(form.sent, 0), form.sent);
  }
  EXPECT_EQ(std::string(kPackageQuery), "pkg describe all;###");
}

TEST(InterpreterDialect, NamesThatAreNotIdentifiersPassUnchanged) {
  for (const std::string& text : std::vector<std::string>{
           "dbstop('my script',3)",                            // a blank
           "dbstop('9lives',3)",                               // starts with a digit
           "dbstop('',3)",                                     // empty
           "dbstop('a'',3)",                                   // a quote
           "dbstop('a'');system(''x'');%',3)",                 // an injection
           "dbclear('a.b',3)",                                 // a dot
           "dbstop('\xc3\xa4',3)",                             // not ASCII
           "dbclear('f',dbstatus('g').line)",                  // two names
           "dbclear('f g',dbstatus('f g').line)",              // both not names
           "dbstop('" + std::string(64, 'a') + "',3)",         // too long
       }) {
    SCOPED_TRACE(text);
    EXPECT_EQ(AdaptForInterpreter(text, k730), text);
  }
  const std::string longest = std::string(63, 'a');
  EXPECT_EQ(AdaptForInterpreter("dbstop('" + longest + "',3)", k730),
            "dbstop('" + longest + "','3')");
}

TEST(InterpreterDialect, LinesThatAreNotPlainNumbersPassUnchanged) {
  for (const std::string& text : std::vector<std::string>{
           "dbstop(-3)", "dbstop(3.5)", "dbstop()", "dbstop(1e3)", "dbclear(x)",
           "dbstop('f',)", "dbstop('f',3 )", "dbstop('f', 3)", "dbclear('f',+3)",
           "dbstop(1234567890)",  // more digits than a line number has
       }) {
    SCOPED_TRACE(text);
    EXPECT_EQ(AdaptForInterpreter(text, k730), text);
  }
  EXPECT_EQ(AdaptForInterpreter("dbstop(123456789)", k730), "dbstop('123456789')");
}

TEST(InterpreterDialect, OtherTextsAndNearMissesPassUnchanged) {
  for (const std::string& text : std::vector<std::string>{
           "", "dbcont", "dbstep in", "dbquit", "x = dbstop(3)", "dbstop(3);", "dbstop(3) ",
           " dbstop(3)", "dbstop('f','3')", "dbstop('3')", "dbclear('f')", "DBSTOP(3)",
           "dbstopper(3)", "pkg describe all", "pkg describe all;###x", "pkg describe;###",
           "dbclear('f',dbstatus('f').line);", "dbclear('f',dbstatus('f').lines)",
           "getvalue:x", "help plot;###",
       }) {
    SCOPED_TRACE(text);
    EXPECT_EQ(AdaptForInterpreter(text, k730), text);
  }
}
