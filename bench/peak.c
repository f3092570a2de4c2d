/* peak COMMAND [ARG...]: runs the command, its standard output sent to /dev/null, and prints
 * "SECONDS PEAK_KIB STATUS".
 *
 * The peak resident size comes from wait4(). Linux folds the size the child had before
 * exec() into ru_maxrss, so the measuring parent must be small itself: a Python driver
 * holding decoded pictures would lend the child its own size. */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: peak COMMAND [ARG...]\n");
    return 2;
  }
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) != child) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  double seconds = (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) / 1e9;
  printf("%.6f %ld %d\n", seconds, usage.ru_maxrss,
         WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
