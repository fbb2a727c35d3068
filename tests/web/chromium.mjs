// Debian's Chromium, headless, as the page's tests drive it through
// playwright-core (from the page's own npm packages).
import { createRequire } from 'node:module';

const require = createRequire(new URL('../../src/presentation/web/package.json', import.meta.url));
export const { chromium } = require('playwright-core');

// A browser without the sandbox (tests run as root in CI), the GPU, or any
// traffic of its own beside the test site's.
export function launchChromium() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
}
