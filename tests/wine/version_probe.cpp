// SPDX-License-Identifier: MIT
// An executable that carries Gradolux's version record and icon group, and
// nothing else, for wine_version_test to read back.
int main()
{
    return 0;
}
