// The test program doubles as the child process the tests start:
//   --hold-lock NAME      take the instance lock NAME and end without releasing it
//   --add-unit NAME EVENT add a unit to the counter NAME, signal EVENT + ".ready", wait
//                         for EVENT + ".done", then give the unit back
#include "app/identity.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {
std::wstring wide(const char* s) { return std::wstring(s, s + std::strlen(s)); }
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--hold-lock") == 0) {
        auto* lock = new app::instance_lock;   // never destroyed: the mutex is abandoned
        lock->create(wide(argv[2]));
        ::ExitProcess(lock->try_take() ? 0 : 1);
    }
    if (argc == 4 && std::strcmp(argv[1], "--add-unit") == 0) {
        app::instance_counter counter;
        counter.create_and_add(wide(argv[2]));
        vh::unique_handle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, (wide(argv[3]) + L".ready").c_str()));
        vh::unique_handle done(::OpenEventW(SYNCHRONIZE, FALSE, (wide(argv[3]) + L".done").c_str()));
        if (!ready || !done) return 2;
        ::SetEvent(ready.get());
        ::WaitForSingleObject(done.get(), 30000);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
