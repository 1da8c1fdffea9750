// Starts and ends. Linked like hourloom-cli (Qt Core, SQLCipher and OpenSSL's
// libcrypto), it measures what loading those libraries costs before any of
// the companion's own code runs: the floor under every command's time.
#include <QtGlobal>
#include <openssl/crypto.h>
#include <sqlite3.h>

int main(int argc, char**) {
    // Referenced so that the linker keeps each library; never called.
    if (argc < 0)
        return qVersion()[0] + sqlite3_libversion()[0] + static_cast<int>(OpenSSL_version_num());
    return 0;
}
