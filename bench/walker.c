/* The single-threaded floor of a tree walk: every folder listed with getdents64 and every
 * entry examined with fstatat relative to its folder, one tree after the other, as a
 * synchronisation tool that stats each file must at least do. Prints the number of files.
 *
 *     walker TREE [TREE...]
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

static long files;

static void walk(int dir) {
    char buffer[64 * 1024];
    long n;
    while ((n = syscall(SYS_getdents64, dir, buffer, sizeof buffer)) > 0) {
        for (long at = 0; at < n;) {
            struct dirent64* e = (struct dirent64*)(buffer + at);
            at += e->d_reclen;
            if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
                continue;
            struct stat st;
            if (fstatat(dir, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode)) {
                int sub = openat(dir, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub >= 0) {
                    walk(sub);
                    close(sub);
                }
            } else {
                ++files;
            }
        }
    }
}

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        int root = open(argv[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (root < 0) {
            perror(argv[i]);
            return 1;
        }
        walk(root);
        close(root);
    }
    printf("%ld files\n", files);
    return 0;
}
