// quorix_coarsetimefs SOURCE MOUNTPOINT SECONDS: a FUSE pass-through of SOURCE at
// MOUNTPOINT whose files' modification, change and access times are whole multiples of
// SECONDS (1 or 2), as a share that keeps whole-second (or two-second) times gives them.
// Runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT) or stopped; every
// read and write goes straight to SOURCE, uncached, so that a reader meets a writer's
// bytes as they land.
#define FUSE_USE_VERSION 31
#include <fuse3/fuse.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string source;
long granularity = 1;

std::string real(const char *path)
{
    return source + path;
}

void coarse(struct timespec &t)
{
    t.tv_sec -= t.tv_sec % granularity;
    t.tv_nsec = 0;
}

int fail()
{
    return -errno;
}

int fs_getattr(const char *path, struct stat *st, fuse_file_info *fi)
{
    const int r = fi ? ::fstat(int(fi->fh), st) : ::lstat(real(path).c_str(), st);
    if (r != 0)
        return fail();
    coarse(st->st_mtim);
    coarse(st->st_ctim);
    coarse(st->st_atim);
    return 0;
}

int fs_readdir(const char *path, void *buf, fuse_fill_dir_t fill, off_t, fuse_file_info *,
               fuse_readdir_flags)
{
    DIR *d = ::opendir(real(path).c_str());
    if (!d)
        return fail();
    while (dirent *e = ::readdir(d))
        fill(buf, e->d_name, nullptr, 0, fuse_fill_dir_flags(0));
    ::closedir(d);
    return 0;
}

int fs_open(const char *path, fuse_file_info *fi)
{
    const int fd = ::open(real(path).c_str(), fi->flags & ~O_NOFOLLOW);
    if (fd < 0)
        return fail();
    fi->fh = std::uint64_t(fd);
    fi->direct_io = 1;
    return 0;
}

int fs_create(const char *path, mode_t mode, fuse_file_info *fi)
{
    const int fd = ::open(real(path).c_str(), fi->flags, mode);
    if (fd < 0)
        return fail();
    fi->fh = std::uint64_t(fd);
    fi->direct_io = 1;
    return 0;
}

int fs_read(const char *, char *buf, size_t size, off_t offset, fuse_file_info *fi)
{
    const ssize_t n = ::pread(int(fi->fh), buf, size, offset);
    return n < 0 ? fail() : int(n);
}

int fs_write(const char *, const char *buf, size_t size, off_t offset, fuse_file_info *fi)
{
    const ssize_t n = ::pwrite(int(fi->fh), buf, size, offset);
    return n < 0 ? fail() : int(n);
}

int fs_release(const char *, fuse_file_info *fi)
{
    ::close(int(fi->fh));
    return 0;
}

int fs_truncate(const char *path, off_t size, fuse_file_info *fi)
{
    const int r = fi ? ::ftruncate(int(fi->fh), size) : ::truncate(real(path).c_str(), size);
    return r != 0 ? fail() : 0;
}

int fs_rename(const char *from, const char *to, unsigned int flags)
{
    if (flags != 0)
        return -EINVAL;
    return ::rename(real(from).c_str(), real(to).c_str()) != 0 ? fail() : 0;
}

int fs_unlink(const char *path)
{
    return ::unlink(real(path).c_str()) != 0 ? fail() : 0;
}

int fs_utimens(const char *path, const struct timespec tv[2], fuse_file_info *)
{
    return ::utimensat(AT_FDCWD, real(path).c_str(), tv, AT_SYMLINK_NOFOLLOW) != 0 ? fail() : 0;
}

int fs_chmod(const char *path, mode_t mode, fuse_file_info *)
{
    return ::chmod(real(path).c_str(), mode) != 0 ? fail() : 0;
}

void *fs_init(fuse_conn_info *, fuse_config *cfg)
{
    // No attribute or name caching: every look asks, as the viewer's tests need.
    cfg->attr_timeout = 0;
    cfg->entry_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->direct_io = 1;
    cfg->use_ino = 1;
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: quorix_coarsetimefs SOURCE MOUNTPOINT SECONDS\n");
        return 2;
    }
    source = argv[1];
    granularity = std::max(1L, std::strtol(argv[3], nullptr, 10));
    fuse_operations ops{};
    ops.getattr = fs_getattr;
    ops.readdir = fs_readdir;
    ops.open = fs_open;
    ops.create = fs_create;
    ops.read = fs_read;
    ops.write = fs_write;
    ops.release = fs_release;
    ops.truncate = fs_truncate;
    ops.rename = fs_rename;
    ops.unlink = fs_unlink;
    ops.utimens = fs_utimens;
    ops.chmod = fs_chmod;
    ops.init = fs_init;
    char *args[] = {argv[0], argv[2], const_cast<char *>("-f"), const_cast<char *>("-s")};
    return fuse_main(4, args, &ops, nullptr);
}
