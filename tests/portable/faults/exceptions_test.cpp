// Memory running out inside the standard library (in the portable window
// layer, in the command line) throws std::bad_alloc at each allocation in
// turn. No such exception crosses an export of the module or leaves a
// command, and the book on disk is the old one or the new one, whole.
#include "flow_fixture.h"

#include "orvixfax.h"
#include "platform/portable/front_ends/script_front_end.h"
#include "res/resource_names.h"
#include "throwing_new.h"

namespace {

class ExceptionBarrier : public FlowTest {};

const std::string kOld = ",Ann,Lee,,Acme,,,555-1,office\n\fTeam,0.0\n";

TEST_F(ExceptionBarrier, NoExceptionCrossesTheAddressBookExport) {
    const std::string script = "dialog \"Edit Address Book\"\nclick IDC_BOOK_NEW_PERSON\n"
                               "dialog \"New Person\"\ntype IDC_PERSON_FIRST \"Bo\"\nclick IDOK\nclick IDOK\n";
    auto edit = [&](long after) {
        Write("OrvixFax.adb", kOld);
        portable::ScriptFrontEnd user(res::ControlIdByName);
        ASSERT_TRUE(user.Parse(script));
        portable::ScopedFrontEnd playing(&user);
        faults::ThrowOnAllocation(after);
        EXPECT_NO_THROW(OrvixFaxBookCall(nullptr)) << after;
        faults::ThrowOnAllocation(-1);
    };
    edit(-1);
    const std::string saved = Read("OrvixFax.adb");
    ASSERT_NE(saved, kOld);
    long after = 0;
    for (; after < 100000; ++after) {
        edit(after);
        if (!faults::AllocationThrew()) break;
        const std::string book = Read("OrvixFax.adb");
        EXPECT_TRUE(book == kOld || book == saved) << after;
    }
    EXPECT_GT(after, 100) << "the sweep reached the end of the edit";
}

TEST_F(ExceptionBarrier, NoExceptionLeavesAnImport) {
    Write("in.csv", "firstName,number\nBo,7\n");
    const std::vector<std::string> arguments = {"book", "import", File("in.csv"), "--dir", directory_};
    Write("OrvixFax.adb", kOld);
    ASSERT_EQ(Orvixfax(arguments).status, 0);
    const std::string merged = Read("OrvixFax.adb");
    long after = 0;
    for (; after < 100000; ++after) {
        Write("OrvixFax.adb", kOld);
        aroundRun_ = [after](bool starting) { faults::ThrowOnAllocation(starting ? after : -1); };
        Command run = Orvixfax(arguments);
        if (!faults::AllocationThrew()) break;
        EXPECT_EQ(Read("OrvixFax.adb"), run.status == 0 ? merged : kOld) << after << ": " << run.err;
        if (run.status != 0) {
            EXPECT_NE(run.err.find("not enough memory"), std::string::npos) << after << ": " << run.err;
        }
    }
    EXPECT_GT(after, 100);
}

TEST_F(ExceptionBarrier, NoExceptionLeavesABookVerb) {
    const std::vector<std::string> arguments = {"book", "group", "add", "Night", "Ann Lee", "--dir", directory_};
    Write("OrvixFax.adb", kOld);
    ASSERT_EQ(Orvixfax(arguments).status, 0);
    const std::string changed = Read("OrvixFax.adb");
    long after = 0;
    for (; after < 100000; ++after) {
        Write("OrvixFax.adb", kOld);
        aroundRun_ = [after](bool starting) { faults::ThrowOnAllocation(starting ? after : -1); };
        Command run = Orvixfax(arguments);
        if (!faults::AllocationThrew()) break;
        EXPECT_EQ(Read("OrvixFax.adb"), run.status == 0 ? changed : kOld) << after << ": " << run.err;
    }
    EXPECT_GT(after, 100);
}

}  // namespace
