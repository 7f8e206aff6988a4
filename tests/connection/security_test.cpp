// The shared record's access list: interactive users, local system and
// administrators, in that order, each with all access.
#include <gtest/gtest.h>
#include <aclapi.h>
#include "connection/connection.h"
#include "connection_helpers.h"
#include "printers/printers.h"
#include "support.h"

// FILE_MAP_ALL_ACCESS is what GENERIC_ALL becomes on a mapping.
static const DWORD acceptedMasks[] = {GENERIC_ALL, SECTION_ALL_ACCESS};

static void ExpectEntry(PACL acl, DWORD index, WELL_KNOWN_SID_TYPE who, BOOL mappedAllowed) {
  SCOPED_TRACE(index);
  void* entry = NULL;
  ASSERT_TRUE(GetAce(acl, index, &entry));
  ACCESS_ALLOWED_ACE* allowed = (ACCESS_ALLOWED_ACE*)entry;
  EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, allowed->Header.AceType);
  EXPECT_EQ(0, allowed->Header.AceFlags);
  if (mappedAllowed)
    EXPECT_TRUE(allowed->Mask == acceptedMasks[0] || allowed->Mask == acceptedMasks[1]) << std::hex << allowed->Mask;
  else
    EXPECT_EQ((DWORD)GENERIC_ALL, allowed->Mask);
  BYTE expected[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof expected;
  ASSERT_TRUE(CreateWellKnownSid(who, NULL, expected, &size));
  EXPECT_TRUE(EqualSid(expected, &allowed->SidStart));
}

static void ExpectRecordAccessList(PACL acl, BOOL mappedAllowed) {
  ASSERT_TRUE(acl);
  EXPECT_EQ(3, acl->AceCount);
  ExpectEntry(acl, 0, WinInteractiveSid, mappedAllowed);   // S-1-5-4
  ExpectEntry(acl, 1, WinLocalSystemSid, mappedAllowed);   // S-1-5-18
  ExpectEntry(acl, 2, WinBuiltinAdministratorsSid, mappedAllowed);  // S-1-5-32-544
}

TEST(BlockSecurity, DescriptorCarriesTheThreeEntriesInOrder) {
  BlockSecurity security;
  ASSERT_EQ(SECURITY_READY, BuildBlockSecurity(&security));
  EXPECT_EQ(sizeof(SECURITY_ATTRIBUTES), security.attributes.nLength);
  EXPECT_FALSE(security.attributes.bInheritHandle);
  ASSERT_EQ(&security.descriptor, security.attributes.lpSecurityDescriptor);
  EXPECT_TRUE(IsValidSecurityDescriptor(&security.descriptor));

  BOOL present = FALSE, defaulted = TRUE;
  PACL acl = NULL;
  ASSERT_TRUE(GetSecurityDescriptorDacl(&security.descriptor, &present, &acl, &defaulted));
  EXPECT_TRUE(present);
  EXPECT_FALSE(defaulted);
  ASSERT_EQ(security.accessList, acl);
  EXPECT_EQ(ACL_REVISION, acl->AclRevision);
  // Exactly the list header, three entry headers with masks, and the SIDs.
  EXPECT_EQ(32u + 12u + 12u + 16u, acl->AclSize);
  ExpectRecordAccessList(acl, FALSE);

  FreeBlockSecurity(&security);
  EXPECT_EQ(NULL, security.accessList);
  EXPECT_EQ(NULL, security.interactiveSid);
  EXPECT_EQ(NULL, security.administratorsSid);
}

// The named mapping as the language monitor would find it.
TEST(BlockSecurity, MappingCarriesTheAccessList) {
  ResetSeams();
  ResetConnection();
  InstanceMutexName unused;
  SelectNameSet(MODEL_SLOT_KR470, &unused);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());

  HANDLE second = OpenFileMappingW(READ_CONTROL, FALSE, mappingName);
  ASSERT_TRUE(second);
  PACL acl = NULL;
  PSECURITY_DESCRIPTOR descriptor = NULL;
  DWORD error = GetSecurityInfo(second, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, NULL, NULL, &acl, NULL,
                                &descriptor);
  CloseHandle(second);
  ResetConnection();
  if (error == ERROR_CALL_NOT_IMPLEMENTED) GTEST_SKIP() << "security of kernel objects cannot be read back here";
  ASSERT_EQ((DWORD)ERROR_SUCCESS, error);
  ExpectRecordAccessList(acl, TRUE);
  LocalFree(descriptor);
}
