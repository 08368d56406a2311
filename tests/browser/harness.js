'use strict';
// What the browser checks share: one line per check, "ok - NAME" or
// "not ok - NAME: problems", then "PREFIX: N passed, N failed"; a time
// limit; Chromium in one language with its dialogs dismissed and listed.

const show = (v) => JSON.stringify(v);
// '' when got is want, else both.
const differ = (what, got, want) => (show(got) === show(want) ? '' : `${what} is ${show(got)}, want ${show(want)}`);
// The same, but of two lists only the first item that differs.
function differItem(what, got, want) {
  if (!Array.isArray(want)) return differ(what, got, want);
  for (let i = 0; i < Math.max(got.length, want.length); ++i) {
    if (show(got[i]) !== show(want[i]))
      return `${what} ${i + 1} of ${got.length} is ${show(got[i])}, want ${show(want[i])} (of ${want.length})`;
  }
  return '';
}
const firstLine = (e) => String((e && e.message) || e).split('\n')[0];

function reporter(prefix) {
  let passed = 0;
  let failed = 0;
  const end = (more = 0) => {
    console.log(`${prefix}: ${passed} passed, ${failed + more} failed`);
    process.exit(failed + more ? 1 : 0);
  };
  // fn gives the problems found; falsy ones are none.
  async function check(name, fn) {
    let problems;
    try {
      problems = (await fn()).filter(Boolean);
    } catch (e) {
      problems = [firstLine(e)];
    }
    if (problems.length) {
      ++failed;
      console.log(`not ok - ${name}: ${problems.join('; ')}`);
    } else {
      ++passed;
      console.log(`ok - ${name}`);
    }
  }
  const fail = (name, problem) => check(name, async () => [firstLine(problem)]);
  return {
    check,
    fail,
    // A group that breaks off (a page without its field, say) is one
    // failure; the others still run.
    async group(label, fn) {
      try {
        await fn();
      } catch (e) {
        await fail(`${label}: the checks ran to the end`, e);
      }
    },
    // The command line's --NAME VALUE options by spec (as util.parseArgs
    // takes them); anything else ends the run with status 2.
    options(spec) {
      try {
        return require('util').parseArgs({options: spec}).values;
      } catch (e) {
        console.error(`${prefix}: ${e.message}`);
        return process.exit(2);
      }
    },
    // What load gives, or the run ends here as one failure.
    need(load) {
      try {
        return load();
      } catch (e) {
        console.log(`not ok - the npm packages are not installed (run scripts/setup.sh): ${firstLine(e)}`);
        return end(1);
      }
    },
    // Runs main and ends the process with the counts; a hung browser must
    // not hang the test command.
    run(what, seconds, main) {
      setTimeout(() => {
        console.log(`not ok - ${what} ran over ${seconds} s and was stopped`);
        end(1);
      }, seconds * 1000).unref();
      main().then(() => end(), (e) => {
        console.log(`not ok - ${what}: ${e.message}`);
        end(1);
      });
    },
    // fn(page, dialogs) in a Chromium speaking lang, closed after. Dialogs
    // are dismissed at once, or the page would wait for a reader.
    async browse(lang, fn) {
      let chromium;
      try {
        chromium = await require('./chromium').launch(lang);
      } catch (e) {
        return fail(`${lang}: Chromium starts`, e);
      }
      const {page} = chromium;
      const dialogs = [];
      page.on('dialog', (d) => { dialogs.push(d.message()); d.dismiss().catch(() => {}); });
      try {
        return await fn(page, dialogs);
      } finally {
        await chromium.close();
      }
    },
  };
}

module.exports = {reporter, show, differ, differItem, firstLine};
