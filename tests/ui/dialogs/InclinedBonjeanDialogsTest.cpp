// Placeholder, replaced by the dialogs' tests.
int main() {
    return 0;
}
