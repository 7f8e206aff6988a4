// The shared record's security: interactive users, local system and administrators get full access.
#include "connection/connection.h"

enum { ACL_FIXED_BYTES = 32 };  // list header and three entry headers with their masks

int BuildBlockSecurity(BlockSecurity* security) {
  ZeroMemory(security, sizeof *security);
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0,
                                &security->interactiveSid))
    goto failed;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                0, 0, 0, &security->administratorsSid))
    goto failed;
  {
    SID* system = &security->localSystemSid;
    system->Revision = SID_REVISION;
    system->SubAuthorityCount = 1;
    system->IdentifierAuthority = ntAuthority;
    system->SubAuthority[0] = SECURITY_LOCAL_SYSTEM_RID;

    DWORD listSize = ACL_FIXED_BYTES + GetLengthSid(security->interactiveSid) + GetLengthSid(system) +
                     GetLengthSid(security->administratorsSid);
    security->accessList = (PACL)HeapAlloc(GetProcessHeap(), 0, listSize);
    if (!security->accessList) return SECURITY_NO_LIST;
    if (!InitializeAcl(security->accessList, listSize, ACL_REVISION)) goto failed;
    if (!AddAccessAllowedAce(security->accessList, ACL_REVISION, GENERIC_ALL, security->interactiveSid)) goto failed;
    if (!AddAccessAllowedAce(security->accessList, ACL_REVISION, GENERIC_ALL, system)) goto failed;
    if (!AddAccessAllowedAce(security->accessList, ACL_REVISION, GENERIC_ALL, security->administratorsSid))
      goto failed;
  }
  if (!InitializeSecurityDescriptor(&security->descriptor, SECURITY_DESCRIPTOR_REVISION)) goto failed;
  if (!SetSecurityDescriptorDacl(&security->descriptor, TRUE, security->accessList, FALSE)) goto failed;
  security->attributes.nLength = sizeof security->attributes;
  security->attributes.lpSecurityDescriptor = &security->descriptor;
  security->attributes.bInheritHandle = FALSE;
  return SECURITY_READY;

failed:
  FreeBlockSecurity(security);
  return SECURITY_FAILED;
}

void FreeBlockSecurity(BlockSecurity* security) {
  if (security->accessList) HeapFree(GetProcessHeap(), 0, security->accessList);
  if (security->interactiveSid) FreeSid(security->interactiveSid);
  if (security->administratorsSid) FreeSid(security->administratorsSid);
  security->accessList = NULL;
  security->interactiveSid = NULL;
  security->administratorsSid = NULL;
}
