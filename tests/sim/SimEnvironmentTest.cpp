#include "SimTestSupport.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

class SimEnvironment : public SimTest {};

std::string SystemFile(const char* name)
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Display names and NotAfter dates of the current user's CA certificates.
std::vector<std::string> CaCertificates()
{
    std::vector<std::string> found;
    CertStore store(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"CA"));
    EXPECT_TRUE(store);
    PCCERT_CONTEXT certificate = nullptr;
    while ((certificate = CertEnumCertificatesInStore(store.Get(), certificate)) != nullptr)
        found.push_back(DisplayName(certificate) + " | " + NotAfterDate(certificate));
    return found;
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(SimEnvironment, RootCertificatesComeAndGoWithTheScenario)
{
    const std::string root = std::string(kRootNameBig5) + " | 2031-12-31 16:00";
    const std::string blankRoot = std::string(kRootNameBig5) + "  | 2031-12-31 16:00";

    applyFile("default.txt");
    EXPECT_TRUE(Contains(CaCertificates(), root));
    EXPECT_FALSE(Contains(CaCertificates(), blankRoot));

    applyFile("two-readers.txt");
    EXPECT_FALSE(Contains(CaCertificates(), root));
    EXPECT_TRUE(Contains(CaCertificates(), blankRoot));

    applyFile("bare.txt");
    EXPECT_FALSE(Contains(CaCertificates(), root));
    EXPECT_FALSE(Contains(CaCertificates(), blankRoot));
}

TEST_F(SimEnvironment, DriverFilesFollowTheScenario)
{
    const std::string safeSign = SystemFile("aetpkss1.dll");
    const std::string hiCos = SystemFile("HiCOSPKCS11.dll");
    applyFile("default.txt");
    EXPECT_TRUE(Exists(safeSign));
    EXPECT_TRUE(Exists(hiCos));
    applyFile("empty-reader.txt");
    EXPECT_FALSE(Exists(safeSign));
    EXPECT_TRUE(Exists(hiCos));
    applyFile("bare.txt");
    EXPECT_FALSE(Exists(hiCos));
}

TEST_F(SimEnvironment, LeavesFilesItDidNotPlace)
{
    const std::string path = SystemFile("aetpkss1.dll");
    applyFile("bare.txt");
    std::ofstream(path) << "a real driver";
    std::string error;
    EXPECT_FALSE(SimApplyScenario(SimScenarioPath("bare.txt"), &error));
    EXPECT_NE(std::string::npos, error.find("not placed by the simulation")) << error;
    EXPECT_TRUE(Exists(path));
    DeleteFileA(path.c_str());
}

TEST_F(SimEnvironment, AFaultyScenarioChangesNothing)
{
    applyFile("default.txt");
    std::string error;
    EXPECT_FALSE(SimApplyScenarioText("service = running\n[reader]\nname = R\ncard = inserted\n", &error));
    EXPECT_NE(std::string::npos, error.find("line 2")) << error;

    EXPECT_TRUE(Exists(SystemFile("aetpkss1.dll")));
    SCARDCONTEXT context = 0;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context));
    DWORD length = 0;
    EXPECT_EQ(SCARD_S_SUCCESS, SCardListReadersA(context, nullptr, nullptr, &length));
    SCardReleaseContext(context);
}

TEST_F(SimEnvironment, ResetRemovesEverything)
{
    applyFile("default.txt");
    std::string error;
    ASSERT_TRUE(SimReset(&error)) << error;

    EXPECT_FALSE(Exists(SystemFile("aetpkss1.dll")));
    EXPECT_FALSE(Contains(CaCertificates(), std::string(kRootNameBig5) + " | 2031-12-31 16:00"));
    CryptProvider provider;
    EXPECT_FALSE(CryptAcquireContextA(provider.Receive(), nullptr, kHiCosCsp, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    SCARDCONTEXT context = 0;
    EXPECT_EQ(SCARD_E_NO_SERVICE, SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context));
}

}  // namespace
