#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, file permission bits bind this thread even when the tests run
// as root (make test does): the capabilities that pass over them leave the
// thread's effective set, and come back when it goes. A read-only file is then
// read-only to the code under test, as it is to a user.
class PermissionsBind
{
public:
    PermissionsBind()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~PermissionsBind()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionsBind(const PermissionsBind &) = delete;
    PermissionsBind &operator=(const PermissionsBind &) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};
